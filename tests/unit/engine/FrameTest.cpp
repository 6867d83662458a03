#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "engine/Frame.hpp"

namespace joywright {
namespace {

namespace fi = frame_input;

TEST(Frame, KeepsWhatArrivesWhileListeningInOrderUntilDrainedOrCleared) {
    Frame frame;
    frame.append(fi::ScrollNotch{1, 0});  // not listening yet: dropped
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
    frame.append(fi::ResetScrollDX{});
    frame.clear();
    frame.drain(drained);
    EXPECT_TRUE(drained.empty());
}

// Several producers append while the main thread drains: every instruction arrives once, and
// each producer's instructions arrive in the order it appended them.
TEST(FrameConcurrency, ProducersLoseAndReorderNothing) {
    constexpr int kProducers = 4, kPerProducer = 20000;
    Frame frame;
    frame.setListening(true);
    std::atomic<int> finished{0};
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kPerProducer; ++i)
                frame.append(fi::ScrollNotch{p, i});
            ++finished;
        });
    }
    std::vector<int> next(kProducers, 0);  // per producer, the number expected next
    std::vector<FrameInput> drained;
    bool inOrder = true;
    for (bool done = false; !done;) {
        done = finished.load() == kProducers;  // then one more drain takes the rest
        frame.drain(drained);
        for (const auto& input : drained) {
            const auto [p, i] = std::get<fi::ScrollNotch>(input);
            inOrder = inOrder && i == next[static_cast<std::size_t>(p)]++;
        }
        if (drained.empty()) std::this_thread::yield();
    }
    for (auto& t : producers)
        t.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(next, std::vector<int>(kProducers, kPerProducer));
}

// Listening switched off mid-stream: nothing is appended after the switch returns.
TEST(FrameConcurrency, NothingArrivesAfterListeningStops) {
    Frame frame;
    frame.setListening(true);
    std::atomic<bool> stop{false};
    std::thread producer([&] {
        for (int i = 0; !stop.load(); ++i)
            frame.append(fi::ScrollNotch{0, i});
    });
    std::vector<FrameInput> drained;
    while (drained.empty())
        frame.drain(drained);
    frame.setListening(false);
    frame.drain(drained);  // what arrived before the switch
    for (int i = 0; i < 1000; ++i) {
        frame.drain(drained);
        if (!drained.empty()) break;
    }
    EXPECT_TRUE(drained.empty());
    stop.store(true);
    producer.join();
}

}  // namespace
}  // namespace joywright
