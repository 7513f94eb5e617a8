// The policy-config tables as the audio service lays them out (see
// policy_config_ids.h for their history). Only SetDefaultEndpoint is ever
// called; the other entries are placeholders that keep the slots in place.
#pragma once

#include <windows.h>
#include <mmdeviceapi.h>
#include <unknwn.h>

// Slot 12.
struct IPolicyConfigVista : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetMixFormat() = 0;           // 3
  virtual HRESULT STDMETHODCALLTYPE GetDeviceFormat() = 0;        // 4
  virtual HRESULT STDMETHODCALLTYPE SetDeviceFormat() = 0;        // 5
  virtual HRESULT STDMETHODCALLTYPE GetProcessingPeriod() = 0;    // 6
  virtual HRESULT STDMETHODCALLTYPE SetProcessingPeriod() = 0;    // 7
  virtual HRESULT STDMETHODCALLTYPE GetShareMode() = 0;           // 8
  virtual HRESULT STDMETHODCALLTYPE SetShareMode() = 0;           // 9
  virtual HRESULT STDMETHODCALLTYPE GetPropertyValue() = 0;       // 10
  virtual HRESULT STDMETHODCALLTYPE SetPropertyValue() = 0;       // 11
  virtual HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(LPCWSTR deviceId, ERole role) = 0;  // 12
  virtual HRESULT STDMETHODCALLTYPE SetEndpointVisibility() = 0;  // 13
};

// Slot 13.
struct IPolicyConfig : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetMixFormat() = 0;           // 3
  virtual HRESULT STDMETHODCALLTYPE GetDeviceFormat() = 0;        // 4
  virtual HRESULT STDMETHODCALLTYPE ResetDeviceFormat() = 0;      // 5
  virtual HRESULT STDMETHODCALLTYPE SetDeviceFormat() = 0;        // 6
  virtual HRESULT STDMETHODCALLTYPE GetProcessingPeriod() = 0;    // 7
  virtual HRESULT STDMETHODCALLTYPE SetProcessingPeriod() = 0;    // 8
  virtual HRESULT STDMETHODCALLTYPE GetShareMode() = 0;           // 9
  virtual HRESULT STDMETHODCALLTYPE SetShareMode() = 0;           // 10
  virtual HRESULT STDMETHODCALLTYPE GetPropertyValue() = 0;       // 11
  virtual HRESULT STDMETHODCALLTYPE SetPropertyValue() = 0;       // 12
  virtual HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(LPCWSTR deviceId, ERole role) = 0;  // 13
  virtual HRESULT STDMETHODCALLTYPE SetEndpointVisibility() = 0;  // 14
};
