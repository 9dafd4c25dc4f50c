// The design file at the byte level: what a failed run, a committed run and a run stopped
// before its commit each leave, for files ending with and without an end marker, and the
// files that are refused.
#include <gtest/gtest.h>

#include <sys/xattr.h>

#include <fstream>
#include <iterator>

#include "convert/DesignFile.h"
#include "convert/Failure.h"
#include "dgn/Elements.h"

using namespace convert;

namespace {

dgn::Bytes element(int level, std::uint16_t group = 0) {
    dgn::ElementCore core;
    core.level = level;
    core.graphicGroup = group;
    dgn::Bytes out;
    dgn::encodeLine(out, core, {1, 2}, {1, 2});
    return out;
}

dgn::Bytes header() { return *dgn::encodeFixedHeader(dgn::DesignUnits{}, {}); }

dgn::Bytes operator+(dgn::Bytes a, const dgn::Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const dgn::Bytes kMarker = {0xFF, 0xFF};

std::string path() { return testing::TempDir() + "design-file-test.dgn"; }

void put(const dgn::Bytes& bytes) { std::ofstream(path(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())); }

dgn::Bytes contents() {
    std::ifstream in(path(), std::ios::binary);
    return dgn::Bytes(std::istreambuf_iterator<char>(in), {});
}

int refusal(const dgn::Bytes& bytes) {
    put(bytes);
    try {
        DesignFile file(path(), 0);
    } catch (const Failure& f) {
        return f.status;
    }
    return 0;
}

}  // namespace

TEST(DesignFile, FailedCommittedAndStoppedRuns) {
    const dgn::Bytes padding(6, 0);
    for (const dgn::Bytes& old : {header() + element(3) + kMarker + padding, header() + element(3)}) {
        const bool marked = old.size() > header().size() + element(3).size();
        put(old);
        {
            DesignFile file(path(), 0);
            EXPECT_FALSE(file.fresh());
            file.append(element(5) + element(6));
            file.rollback();
        }
        EXPECT_EQ(contents(), old) << "a failed run leaves the file byte for byte; marked " << marked;

        {
            DesignFile file(path(), 0);
            file.append(dgn::Bytes(3 << 20, 0) );  // more than the write buffer: written before the commit
        }  // gone without commit or rollback, as a killed run
        const dgn::Bytes stopped = contents();
        const dgn::Bytes before = header() + element(3) + kMarker;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), stopped.begin())) << "reads as before; marked " << marked;
        put(old);

        {
            DesignFile file(path(), 0);
            file.append(element(5));
            file.commit();
        }
        EXPECT_EQ(contents(), header() + element(3) + element(5) + kMarker) << marked;
    }
}

TEST(DesignFile, WhatAKilledRunLeftAfterTheEndMarkerIsNoObstacle) {
    const dgn::Bytes before = header() + element(3) + kMarker;
    put(before + dgn::Bytes(2 << 20, 0x5A));
    {
        DesignFile file(path(), 0);
        file.append(element(4));
        file.rollback();
    }
    const dgn::Bytes failed = contents();
    EXPECT_EQ(failed.size(), before.size() + (2 << 20));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), failed.begin()));
    {
        DesignFile file(path(), 0);
        file.append(element(4));
        file.commit();
    }
    const dgn::Bytes after = header() + element(3) + element(4) + kMarker;
    EXPECT_TRUE(std::equal(after.begin(), after.end(), contents().begin()));
}

TEST(DesignFile, FreshFilesAndWhatTheWalkKeeps) {
    put({});
    EXPECT_TRUE(DesignFile(path(), 0).fresh());
    {
        DesignFile file(path(), 0);
        file.append(header() + dgn::Bytes(3 << 20, 0));
    }  // a first run stopped before its commit
    EXPECT_TRUE(DesignFile(path(), 0).fresh()) << "holds nothing before its end marker";

    dgn::Bytes node;
    dgn::TextNode n;
    n.number = 9;
    dgn::encodeTextNode(node, dgn::ElementCore{}, n, 0);
    put(header() + element(3, 4) + node + element(3, 2) + kMarker);
    DesignFile file(path(), 0);
    EXPECT_EQ(file.lastNodeNumber(), 9);
    EXPECT_EQ(file.lastGraphicGroup(), 4);
}

TEST(DesignFile, TheRememberedEndIsTrustedOnlyWhileTheFileIsAsNoted) {
    const auto commitOne = [](int level) {
        DesignFile file(path(), 0);
        file.append(element(level));
        file.commit();
        file.remember(7, 3);
    };
    put(header() + element(3) + kMarker);
    commitOne(4);
    char note[256];
    if (::getxattr(path().c_str(), "user.mapfeed.end", note, sizeof note) <= 0)
        GTEST_SKIP() << "the file system of " << path() << " keeps no user attributes";
    {
        const DesignFile file(path(), 0);
        EXPECT_EQ(file.lastNodeNumber(), 7) << "remembered, not walked";
        EXPECT_EQ(file.lastGraphicGroup(), 3);
    }
    commitOne(5);
    EXPECT_EQ(contents(), header() + element(3) + element(4) + element(5) + kMarker);

    // Another program appends an element of its own in place of the end marker.
    dgn::Bytes changed = contents();
    changed.resize(changed.size() - 2);
    changed = changed + element(6, 9) + kMarker;
    {
        std::fstream f(path(), std::ios::in | std::ios::out | std::ios::binary);
        f.write(reinterpret_cast<const char*>(changed.data()), std::streamsize(changed.size()));
    }
    const DesignFile file(path(), 0);
    EXPECT_EQ(file.lastGraphicGroup(), 9) << "walked again, finding the new element";
    EXPECT_EQ(file.lastNodeNumber(), 0);
}

TEST(DesignFile, Refusals) {
    EXPECT_EQ(refusal({'n', 'o', 't', '\n'}), kDesign);
    dgn::Bytes threeD = header() + kMarker;
    threeD[0] = 0xC8;
    EXPECT_EQ(refusal(threeD), kDesign);
    dgn::Bytes cut = header() + element(3);
    cut.resize(cut.size() - 4);
    EXPECT_EQ(refusal(cut), kDesign);
    EXPECT_EQ(refusal(header() + element(3) + kMarker), 0);
}
