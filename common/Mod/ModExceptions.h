#pragma once

#include "common/Ex/Exceptions.h"

namespace Mod {

/// "Can't find the resource with id: 'ID' in this DLL 'FILE'"
EX_DECLARE_EXCEPTION(CantFindResourceException, Ex::NamedException);

} // namespace Mod

/// "Can't extract the resource Name='NAME' to fileName: 'FILE'" (or "ID='N'"
/// for a numeric resource). Lives in the global namespace, like its callers
/// expect.
EX_DECLARE_EXCEPTION(CantExtractResourceToDiskException, Ex::NamedException);
