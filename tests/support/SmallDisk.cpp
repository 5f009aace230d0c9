#include "support/SmallDisk.h"

#include <QFile>

#include <sched.h>
#include <sys/mount.h>

namespace corvelix::test {

SmallDisk::SmallDisk(const QString& folder, qint64 bytes) : folder_(QFile::encodeName(folder)) {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return;
    const QByteArray options = "size=" + QByteArray::number(bytes);
    mounted_ = mount("tmpfs", folder_.constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_)
        umount2(folder_.constData(), MNT_DETACH);
}

} // namespace corvelix::test
