#pragma once

#include <QByteArray>
#include <QString>

namespace corvelix::test {

// A file system of `bytes` mounted over `folder` for this thread only (its own mount
// namespace, which needs root), so that a test can fill it.
class SmallDisk {
public:
    SmallDisk(const QString& folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    [[nodiscard]] bool mounted() const { return mounted_; }

private:
    QByteArray folder_;
    bool mounted_ = false;
};

} // namespace corvelix::test
