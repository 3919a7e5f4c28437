#pragma once
// Failures of the browser launcher. The throwing code writes the message.

#include "common/Ex/Exceptions.h"

namespace Web {

/// "Can't set web browser."
EX_DECLARE_EXCEPTION(CantSetBrowserException, Ex::NamedException);
/// "Empty browser registry setting found in \"WHERE\"": no handler for the
/// scheme, a handler without an Exec line, or no fallback browser on PATH.
EX_DECLARE_EXCEPTION(EmptyBrowserRegistryEntryException, Ex::NamedException);
/// "Browser \"PATH\" is not approved."
EX_DECLARE_EXCEPTION(NotApprovedBrowserException, Ex::NamedException);
/// "Can't launch web browser."
EX_DECLARE_EXCEPTION(CantLaunchBrowserException, Ex::NamedException);

} // namespace Web
