#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "engine/Frame.hpp"

namespace joywright {
namespace {

namespace fi = frame_input;

TEST(Frame, DropsWhatArrivesWhileNotListening) {
    Frame frame;
    frame.append(fi::ScrollNotch{1, 0});
    frame.setListening(true);
    std::vector<FrameInput> drained;
    frame.drain(drained);
    EXPECT_TRUE(drained.empty());
}

TEST(Frame, DrainsInArrivalOrderIncludingRepeatsThenIsEmpty) {
    Frame frame;
    frame.setListening(true);
    const std::vector<FrameInput> inputs = {fi::SetMouseDX{0.3f, 800}, fi::SetMouseDX{-1, 500},
                                            fi::SetMouseDX{-1, 500}, fi::ResetMouseDX{}};
    for (const auto& input : inputs)
        frame.append(input);
    std::vector<FrameInput> drained{fi::ResetScrollDY{}};  // previous contents are discarded
    frame.drain(drained);
    EXPECT_EQ(drained, inputs);
    frame.drain(drained);
    EXPECT_TRUE(drained.empty());
}

TEST(Frame, ClearDropsQueuedInstructions) {
    Frame frame;
    frame.setListening(true);
    frame.append(fi::ResetScrollDX{});
    frame.clear();
    std::vector<FrameInput> drained;
    frame.drain(drained);
    EXPECT_TRUE(drained.empty());
}

// Several producers append while the main thread drains: every instruction arrives once, and
// each producer's instructions arrive in the order it appended them.
TEST(FrameConcurrency, ProducersLoseAndReorderNothing) {
    constexpr int kProducers = 4;
    constexpr int kPerProducer = 20000;
    Frame frame;
    frame.setListening(true);
    std::atomic<int> finished{0};
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kPerProducer; ++i)
                frame.append(fi::ScrollNotch{p, i});
            finished.fetch_add(1);
        });
    }

    std::vector<int> next(kProducers, 0);
    std::vector<FrameInput> drained;
    int received = 0;
    bool inOrder = true;
    while (received < kProducers * kPerProducer) {
        const bool allDone = finished.load() == kProducers;
        frame.drain(drained);
        for (const auto& input : drained) {
            const auto& notch = std::get<fi::ScrollNotch>(input);
            inOrder = inOrder && notch.wheel2 == next[static_cast<std::size_t>(notch.wheel1)];
            ++next[static_cast<std::size_t>(notch.wheel1)];
            ++received;
        }
        if (allDone && drained.empty()) break;
        if (drained.empty()) std::this_thread::yield();
    }
    for (auto& t : producers)
        t.join();
    frame.drain(drained);
    EXPECT_TRUE(drained.empty());
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(received, kProducers * kPerProducer);
    for (int p = 0; p < kProducers; ++p)
        EXPECT_EQ(next[static_cast<std::size_t>(p)], kPerProducer);
}

// Listening switched off mid-stream: nothing is appended after the switch returns.
TEST(FrameConcurrency, NothingArrivesAfterListeningStops) {
    Frame frame;
    frame.setListening(true);
    std::atomic<bool> stop{false};
    std::thread producer([&] {
        int i = 0;
        while (!stop.load())
            frame.append(fi::ScrollNotch{0, i++});
    });
    std::vector<FrameInput> drained;
    while (drained.empty())
        frame.drain(drained);
    frame.setListening(false);
    frame.drain(drained);
    frame.clear();
    for (int i = 0; i < 1000; ++i) {
        frame.drain(drained);
        EXPECT_TRUE(drained.empty());
        if (!drained.empty()) break;
    }
    stop.store(true);
    producer.join();
}

}  // namespace
}  // namespace joywright
