// Wave-out index resolution: the number of the wave-out device that plays to
// an endpoint. Stateless; UI thread.
#pragma once

// The lowest device number whose function instance ID equals endpointId with
// letter case ignored, or -1 (also for a null endpointId, then with nothing queried).
int FindWaveOutIndex(const char16_t* endpointId);
