#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTest>

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// The tests run with the program's heap settings, so that they run what ships.
class tst_HeapKeeping : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    // A freed block of a few megabytes (a list's rows) stays with the process for the next
    // read, rather than being mapped on its own and given back at once.
    void freedBlockStaysForTheNextRead() {
#if defined(__GLIBC__)
        constexpr std::size_t kBlock = 16u * 1024 * 1024;
        const struct mallinfo2 start = mallinfo2();
        void* block = std::malloc(kBlock);
        QVERIFY(block != nullptr);
        static_cast<char*>(block)[0] = 1;
        const struct mallinfo2 held = mallinfo2();
        QCOMPARE(held.hblkhd, start.hblkhd); // not a mapping of its own
        std::free(block);
        QVERIFY(mallinfo2().fordblks >= kBlock); // kept, free, in the heap
#else
        QSKIP("the heap is kept through the GNU C library only");
#endif
    }

    // The heap is asked for in large pages where the system has them.
    void heapInLargePages() {
#if defined(__GLIBC__)
        if (!QFile::exists(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled")))
            QSKIP("this system has no large pages");
        QFile maps(QStringLiteral("/proc/self/smaps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        bool inHeap = false;
        bool large = false;
        for (const QByteArray& line : maps.readAll().split('\n')) {
            // A mapping starts with its address range; its fields follow, named "Name:".
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.first().endsWith(':')) {
                if (inHeap && words.first() == "VmFlags:" && words.contains("hg"))
                    large = true;
            } else if (words.first().contains('-')) {
                inHeap = words.last() == "[heap]";
            }
        }
        QVERIFY(large);
#else
        QSKIP("the heap is set up through the GNU C library only");
#endif
    }
};

CORVELIX_TEST(tst_HeapKeeping)
#include "tst_HeapKeeping.moc"
