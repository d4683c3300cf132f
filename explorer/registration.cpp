// The component's registered services. Both factories are defined in this
// one translation unit so that their construction order, and with it the
// list order the host sees, does not depend on how the linker places files:
// the version factory links first, the command factory second, so the
// command factory heads the list.
#include "explorer/commands.h"
#include "explorer/registration.h"
#include "explorer/version.h"

componentversion_impl_simple_factory version_factory(factory_list, component_name, component_version,
                                                     component_about);
mainmenu_commands_factory_t<mainmenu_commands_explorer> command_factory(factory_list);
