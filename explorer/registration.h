// The two static factories of the component, in list order after loading.
#pragma once

#include "explorer/commands.h"
#include "explorer/version.h"

extern mainmenu_commands_factory_t<mainmenu_commands_explorer> command_factory;
extern componentversion_impl_simple_factory version_factory;
