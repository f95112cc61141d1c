// The identifiers of the interface family reached through query_interface.
#pragma once

#include "core/interface.h"

namespace psw {

inline constexpr char kIidPmcInterface[] = "da74598a-9178-43c9-86c6-cee9988f1b7f";
inline constexpr char kIidPmcLogger[] = "5fe5b960-6b6f-11d5-82ea-00e02941dfe1";
inline constexpr char kIidPmcLoggerControl[] = "d638c730-6b6f-11d5-82ea-00e02941dfe1";
inline constexpr char kIidPmcLoggerGroup[] = "a1fc9560-6b6f-11d5-82ea-00e02941dfe1";
inline constexpr char kIidPmcMasterLogger[] = "34430190-6b77-11d5-82ea-00e02941dfe1";
inline constexpr char kIidPmcLogOutput[] = "13102460-7602-11d5-82f1-00e02941dfe1";
inline constexpr char kIidPmcLogFileOutput[] = "2fb9f6c0-7602-11d5-82f1-00e02941dfe1";

static_assert(sizeof(kIidPmcInterface) == kPmcInterfaceIdBytes);
static_assert(sizeof(kIidPmcLogger) == kPmcInterfaceIdBytes);
static_assert(sizeof(kIidPmcLoggerControl) == kPmcInterfaceIdBytes);
static_assert(sizeof(kIidPmcLoggerGroup) == kPmcInterfaceIdBytes);
static_assert(sizeof(kIidPmcMasterLogger) == kPmcInterfaceIdBytes);
static_assert(sizeof(kIidPmcLogOutput) == kPmcInterfaceIdBytes);
static_assert(sizeof(kIidPmcLogFileOutput) == kPmcInterfaceIdBytes);

}  // namespace psw
