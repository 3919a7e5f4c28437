#pragma once

#include "common/Ex/Exceptions.h"

namespace Process {

/// "Can't create process 'COMMAND LINE'"
EX_DECLARE_EXCEPTION(CantCreateProcess, Ex::NamedException);

} // namespace Process
