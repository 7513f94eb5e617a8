// Starting and stopping the relay; user-interface thread only, strictly
// alternating. The relay's state is shared with its worker threads: each
// worker holds a reference for as long as it runs, so a worker that has not
// ended when the stop stops waiting for it keeps what it uses alive, and
// releases it when it ends.
#pragma once

#include <memory>

#include "engine/relay_state.h"
#include "platform/list_control.h"

// How long a stop waits for each worker.
constexpr std::uint32_t kWorkerStopWaitMs = 2000;

// Makes a fresh state in `relay`, opens the device and launches the capture
// thread, then the playback thread on the device chosen in `playbackList`.
void StartRelay(std::shared_ptr<RelayState>& relay, platform::ListControl& playbackList);
// Stops the playback thread, then the capture thread, each waited for a
// bounded time; closes the device and releases the state. `relay` is empty after.
void StopRelay(std::shared_ptr<RelayState>& relay);
// 1 when the playback thread was launched; 0 when no wave-out device plays
// to the selected endpoint (after telling the user) or the launch failed.
int StartPlayback(const std::shared_ptr<RelayState>& relay, platform::ListControl& playbackList);
