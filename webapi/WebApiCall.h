#pragma once
// For the implementation files of Glm::WebApi: a call with its name and the
// place it is made, which failures are logged with.

#include "common/Ex/Logger.h"
#include "common/Xml/Parser.h"
#include "webapi/CallGuard.h"
#include "webapi/QueryText.h"
#include "webapi/WebApi.h"

#define GLM_WEBAPI_CALL(name, ...) Call(name, __FILE__, __LINE__, __VA_ARGS__)
