#include "session/tick_source.h"

#include "core/platform/clock.h"

namespace psw {

namespace {

class CPmsSystemTickSource final : public IPmsTickSource {
public:
    uint32_t tick_count() noexcept override { return pmc_tick_count(); }
};

}  // namespace

IPmsTickSource& pms_system_tick_source() noexcept
{
    static CPmsSystemTickSource source;
    return source;
}

}  // namespace psw
