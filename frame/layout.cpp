// Layouts the host reads directly, pinned for every target. Failing any of
// these means the host would read the wrong bytes.
#include <cstddef>

#include "explorer/registration.h"
#include "frame/client.h"

#pragma GCC diagnostic ignored "-Winvalid-offsetof"

constexpr std::size_t word = sizeof(void*);

static_assert(sizeof(guid) == 16 && offsetof(guid, data2) == 4 && offsetof(guid, data4) == 8,
              "GUID fields as the platform lays them out");
static_assert(offsetof(service_factory_base, next) == 1 * word, "node: next after the table");
static_assert(offsetof(service_factory_base, class_guid) == 2 * word, "node: class_guid third");
static_assert(sizeof(service_factory_base) == 3 * word, "node: three fields and nothing else");
static_assert(sizeof(service_ref) == word, "a holder is one address");
static_assert(sizeof(componentversion_impl_simple_factory) == 7 * word,
              "version factory: node, then table and three texts");
static_assert(sizeof(mainmenu_commands_explorer) == word + sizeof(kvo::string8),
              "command set: table, then the settings path");
static_assert(sizeof(mainmenu_commands_factory_t<mainmenu_commands_explorer>) ==
                  3 * word + sizeof(mainmenu_commands_explorer),
              "command factory: node, then its one command set");
#if defined(_WIN32) && defined(__i386__)
static_assert(word == 4 && offsetof(service_factory_base, class_guid) == 8,
              "32-bit host reads next at 4 and class_guid at 8");
static_assert(sizeof(bool) == 1 && sizeof(std::size_t) == 4, "32-bit size type");
#endif
