#include "package/parallel_package_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "package/package_writer.h"
#include "platform/error.h"
#include "support/package_reading.h"
#include "support/serial_package_writer.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::ReadFile;
using test::TestFolder;
using test::WriteFile;

// Every report in the order made, and whether each came on the test's own thread.
class OrderSink : public test::RecordingSink {
public:
    std::vector<std::string> events;
    mutable bool foreignThread = false;

    mutable std::size_t eventsAtCancel = 0;

    bool CancelRequested() const override {
        Note();
        const bool cancel = RecordingSink::CancelRequested();
        if (cancel && eventsAtCancel == 0) {
            eventsAtCancel = events.size() + 1;
        }
        return cancel;
    }
    void ShowStreamProgress(std::uint64_t bytesTakenIn) override {
        Note();
        events.push_back("stream " + std::to_string(bytesTakenIn));
        RecordingSink::ShowStreamProgress(bytesTakenIn);
    }
    void EntryDone(std::uint32_t kib) override {
        Note();
        events.push_back("entry " + std::to_string(kib));
        RecordingSink::EntryDone(kib);
    }

private:
    void Note() const { foreignThread = foreignThread || std::this_thread::get_id() != owner_; }
    std::thread::id owner_ = std::this_thread::get_id();
};

using Writer = std::size_t (*)(std::span<const std::string>, std::span<const std::string>, File&,
                               ProgressSink&);

std::string WriteWith(Writer writer, const std::string& path,
                      const std::vector<std::string>& sources,
                      const std::vector<std::string>& names, OrderSink& sink) {
    WriteFile(path, "STUB");
    File output = File::Open(path, File::Mode::WriteExclusive);
    output.SeekEnd();
    writer(sources, names, output, sink);
    output.Close();
    return ReadFile(path);
}

// Sources of every kind: tiny, empty, compressible over many blocks, random over many blocks,
// sizes at and around the chunk and block sizes.
std::vector<std::string> MixedSources(TestFolder& dir) {
    std::vector<std::string> sources;
    const std::vector<std::string> contents = {
        "1\r\n0\r\n",
        "",
        std::string(3 * 1024 * 1024, 'a') + test::RandomBytes(1000, 1),
        test::RandomBytes(2 * 1024 * 1024 + 17, 2),
        test::RandomBytes(61440, 3),
        test::RandomBytes(61441, 4),
        test::RandomBytes(65536, 5),
        std::string(200000, 'x'),
        test::RandomBytes(5 * 1024 * 1024, 6),
        "last",
    };
    for (std::size_t i = 0; i < contents.size(); ++i) {
        sources.push_back(dir / ("source" + std::to_string(i)));
        WriteFile(sources.back(), contents[i]);
    }
    return sources;
}

TEST(ParallelPackageWriter, GivesTheSequentialBytesAndReportsOnTheCallingThread) {
    TestFolder dir;
    const std::vector<std::string> sources = MixedSources(dir);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        names.push_back(i == 1 ? std::string() : "option\\entry" + std::to_string(i));
    }
    OrderSink sequentialSink;
    const std::string sequential =
        WriteWith(&test::WritePackage, dir / "sequential", sources, names, sequentialSink);
    OrderSink parallelSink;
    const std::string parallel =
        WriteWith(&WritePackageInParallel, dir / "parallel", sources, names, parallelSink);

    EXPECT_EQ(parallel.size(), sequential.size());
    EXPECT_TRUE(parallel == sequential) << "byte for byte";
    EXPECT_EQ(parallelSink.events, sequentialSink.events) << "the same reports in the same order";
    EXPECT_GT(parallelSink.streamProgress.size(), 100u);
    EXPECT_FALSE(parallelSink.foreignThread) << "every sink call on the calling thread";

    // Read back with zlib alone: every entry's content as written.
    const test::ReadPackage package = test::ReadPackageEndingAt(parallel, parallel.size());
    ASSERT_EQ(package.entries.size(), sources.size());
    EXPECT_EQ(package.start, 4u);
    EXPECT_EQ(package.entries[1].name, "source1") << "an empty name gives the file name";
    for (std::size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(package.entries[i].content, ReadFile(sources[i])) << i;
    }
}

TEST(ParallelPackageWriter, FirstFailingEntryInOrderRaisesAfterTheEntriesBeforeIt) {
    TestFolder dir;
    std::vector<std::string> sources = MixedSources(dir);
    sources[5] = dir / "missing";
    OrderSink sequentialSink;
    OrderSink parallelSink;
    std::string sequential;
    std::string parallel;
    try {
        WriteWith(&test::WritePackage, dir / "sequential", sources, {}, sequentialSink);
        FAIL() << "a missing source must raise";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENOENT);
    }
    try {
        WriteWith(&WritePackageInParallel, dir / "parallel", sources, {}, parallelSink);
        FAIL() << "a missing source must raise";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENOENT);
    }
    EXPECT_EQ(ReadFile(dir / "parallel"), ReadFile(dir / "sequential"))
        << "the entries before the failing one, nothing after";
    EXPECT_EQ(parallelSink.events, sequentialSink.events);

    // A name the directory cannot hold fails before its entry, later entries too.
    std::vector<std::string> good = MixedSources(dir);
    std::vector<std::string> names(good.size(), "n");
    names[7] = "bad|name";
    EXPECT_THROW(WriteWith(&WritePackageInParallel, dir / "named", good, names, parallelSink),
                 Error);
    EXPECT_THROW(
        WriteWith(&test::WritePackage, dir / "named-sequential", good, names, sequentialSink),
        Error);
    EXPECT_EQ(ReadFile(dir / "named"), ReadFile(dir / "named-sequential"));
}

TEST(ParallelPackageWriter, CancelStopsWithinABlockAndWritesNoDirectory) {
    TestFolder dir;
    const std::vector<std::string> sources = MixedSources(dir);
    for (const int at : {1, 2, 5, 40}) {
        OrderSink sink;
        sink.cancelAtCheck = at;
        const std::string bytes =
            WriteWith(&WritePackageInParallel, dir / "out", sources, {}, sink);
        EXPECT_EQ(sink.checks, at) << "the writer stops at the check that sees the cancel";
        EXPECT_EQ(sink.events.size() + 1, sink.eventsAtCancel) << "no report after it";
        EXPECT_EQ(bytes.find(std::string("zsf\x01", 4)), std::string::npos) << at;
        if (at == 1) {
            EXPECT_EQ(bytes, "STUB") << "a cancel before the first entry writes nothing";
        }
    }
}

TEST(ParallelPackageWriter, EmptyAndSingleEntryPackagesMatch) {
    TestFolder dir;
    WriteFile(dir / "one", test::RandomBytes(300000, 9));
    for (const std::vector<std::string>& sources :
         {std::vector<std::string>{}, std::vector<std::string>{dir / "one"}}) {
        OrderSink a;
        OrderSink b;
        EXPECT_EQ(WriteWith(&WritePackageInParallel, dir / "p", sources, {}, a),
                  WriteWith(&test::WritePackage, dir / "s", sources, {}, b));
        EXPECT_EQ(a.events, b.events);
    }
}

}  // namespace
}  // namespace quorlix
