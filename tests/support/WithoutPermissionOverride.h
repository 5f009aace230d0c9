#pragma once

#include <linux/capability.h>

namespace corvelix::test {

// While alive, file permissions hold for this thread even when the tests run as root (the
// capabilities that override them are set aside, and given back afterwards).
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride();
    ~WithoutPermissionOverride();
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

} // namespace corvelix::test
