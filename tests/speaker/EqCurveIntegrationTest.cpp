// A real simulator and two mirrors in other processes: an equaliser change made with `roomctl set`
// moves the curve that `roomctl curve` computes in a second mirror, and both agree with the curve
// this process's own mirror computes with the same engine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <vector>

#include "speaker/EQComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "tests/common/ChildProcess.h"
#include "roomctl/CurveCommand.h"
#include "roomctl/MirrorSession.h"

namespace
{

using namespace std::chrono_literals;
using NetworkTest::ChildProcess;
using Vellaris::Tools::MirrorSession;

constexpr const char* kSerial = "987654321"; // what "tarnsim TX20A" announces

struct Point
{
    double freq = 0, db = 0;
};

// Lines "FREQ<TAB>DB".
std::vector<Point> readCurve(const std::string& text)
{
    std::vector<Point> points;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
    {
        Point point;
        char* end = nullptr;
        point.freq = std::strtod(line.c_str(), &end);
        EXPECT_EQ(*end, '\t') << line;
        point.db = std::strtod(end, nullptr);
        points.push_back(point);
    }
    return points;
}

// The point nearest to `freq`.
Point near(const std::vector<Point>& curve, double freq)
{
    Point best;
    for (const Point& point : curve)
        if (best.freq == 0 || std::abs(point.freq - freq) < std::abs(best.freq - freq))
            best = point;
    return best;
}

class EqCurveIntegration : public ::testing::Test
{
protected:
    EqCurveIntegration()
    {
        NetworkTest::useNewDiscoveryScope();
        session = std::make_unique<MirrorSession>();
    }

    // Runs roomctl to its end while the in-process mirror keeps working.
    std::unique_ptr<ChildProcess> roomctl(const std::vector<std::string>& arguments)
    {
        auto child = std::make_unique<ChildProcess>(ROOMCTL_PATH, arguments);
        EXPECT_TRUE(child->waitForEnd(20s, [this] { session->getPlatform().runFor(5); }))
            << "roomctl did not end";
        return child;
    }
    void set(const std::string& path, const std::string& text)
    {
        auto child = roomctl({"set", kSerial, path, text});
        ASSERT_EQ(child->exitStatus(), 0) << path << ": " << child->errors();
    }
    std::string curve(const std::vector<std::string>& extra)
    {
        std::vector<std::string> arguments{"curve", kSerial};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto child = roomctl(arguments);
        EXPECT_EQ(child->exitStatus(), 0) << child->errors();
        return child->output();
    }

    std::unique_ptr<MirrorSession> session;
};

TEST_F(EqCurveIntegration, ChangeThroughRoomctlMovesTheCurveOfEveryMirror)
{
    ASSERT_TRUE(session->isStarted());
    ChildProcess simulator(TARNSIM_PATH, {"TX20A"});
    Vellaris::SpeakerNetworkItem* item = session->waitForSpeaker(kSerial, 10000);
    ASSERT_NE(item, nullptr);

    // A fresh speaker's equaliser is switched off: flat everywhere.
    std::vector<Point> before = readCurve(curve({"eq", "--points", "64"}));
    ASSERT_EQ(before.size(), 64u);
    for (const Point& point : before)
        EXPECT_EQ(point.db, 0.0) << point.freq;

    set("line/ch1/eq/eqallon", "1");
    set("line/ch1/eq/eqbandon3", "1");
    // Band 3 is a parametric band from the start.
    set("line/ch1/eq/eqfreq3", "1000");
    set("line/ch1/eq/eqgain3", "6");

    const std::string summed = curve({"eq", "--points", "256"});
    std::vector<Point> after = readCurve(summed);
    ASSERT_EQ(after.size(), 256u);
    EXPECT_NEAR(near(after, 1000).db, 6.0, 0.3);
    EXPECT_NEAR(near(after, 20).db, 0.0, 0.2);
    // The band's own curve is the summed one while it is the only band on.
    EXPECT_EQ(curve({"eq", "--band", "2", "--points", "256"}), summed);
    // The composite numbers the same band 2 and adds the notch, which is off.
    EXPECT_EQ(curve({"compeq", "--points", "256"}), summed);

    // This process's mirror has followed the same changes and computes the same lines.
    Filtra::EQComponent* eq = Vellaris::Tools::findCurveComponent(item->getSpeakerComponent(), "eq");
    ASSERT_NE(eq, nullptr);
    EXPECT_TRUE(
        session->getPlatform().runUntil([&] { return std::abs(eq->getGain(2) - 6.0f) < 0.01f; }, 5000));
    std::string local;
    ASSERT_TRUE(Vellaris::Tools::writeCurve(*eq, -1, 256, local));
    EXPECT_EQ(local, summed);

    // The all-bands switch bypasses the whole curve again.
    set("line/ch1/eq/eqallon", "0");
    for (const Point& point : readCurve(curve({"eq", "--points", "32"})))
        EXPECT_EQ(point.db, 0.0) << point.freq;

    // A band that does not exist is a parameter error.
    auto missing = roomctl({"curve", kSerial, "notch", "--band", "8"});
    EXPECT_EQ(missing->exitStatus(), 3);
    auto unknown = roomctl({"curve", kSerial, "geq"});
    EXPECT_EQ(unknown->exitStatus(), 2);
}

} // namespace
