#include "support/WithoutPermissionOverride.h"

#include <initializer_list>

#include <sys/syscall.h>
#include <unistd.h>

namespace corvelix::test {

WithoutPermissionOverride::WithoutPermissionOverride() {
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    header_.pid = 0;
    if (syscall(SYS_capget, &header_, saved_) != 0)
        return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        reduced[cap / 32].effective &= ~(1u << (cap % 32));
    active_ = syscall(SYS_capset, &header_, reduced) == 0;
}

WithoutPermissionOverride::~WithoutPermissionOverride() {
    if (active_)
        syscall(SYS_capset, &header_, saved_);
}

} // namespace corvelix::test
