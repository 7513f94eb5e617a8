/* Test fixture, never shipped: a stand-in for the MMDevice enumerator's class.
 * Wine 8 answers IAudioEndpointVolume::GetVolumeStepInfo with E_NOTIMPL for
 * every endpoint, so the catalogue, rightly, lists nothing under plain Wine.
 * Registered in a test prefix under CLSID_MMDeviceEnumerator, this DLL hands
 * out Wine's own class object unchanged (Wine's winmm uses it too) and patches
 * the one slot of Wine's endpoint-volume table, which every endpoint's volume
 * object shares, to answer S_OK. */
#define COBJMACROS
#define CINTERFACE
#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

static const CLSID kClsidMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
static const IID kIidIMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
static const IID kIidIAudioEndpointVolume = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};
static const IID kIidIClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

typedef HRESULT(WINAPI* GetClassObjectProc)(REFCLSID, REFIID, void**);

static LONG g_patched = 0;

static HRESULT STDMETHODCALLTYPE AnsweringGetVolumeStepInfo(IAudioEndpointVolume* self, UINT* step, UINT* stepCount) {
  (void)self;
  if (!step || !stepCount) return E_POINTER;
  *step = 50;
  *stepCount = 101;
  return S_OK;
}

static void PatchTable(IAudioEndpointVolume* volume) {
  IAudioEndpointVolumeVtbl* table = (IAudioEndpointVolumeVtbl*)volume->lpVtbl;
  DWORD oldProtection = 0;
  if (!VirtualProtect(&table->GetVolumeStepInfo, sizeof(void*), PAGE_READWRITE, &oldProtection)) return;
  table->GetVolumeStepInfo = AnsweringGetVolumeStepInfo;
  VirtualProtect(&table->GetVolumeStepInfo, sizeof(void*), oldProtection, &oldProtection);
  g_patched = 1;
}

/* Any endpoint's volume object leads to the shared table. */
static void PatchThroughFirstEndpoint(IMMDeviceEnumerator* enumerator) {
  IMMDeviceCollection* devices = NULL;
  IMMDevice* device = NULL;
  IAudioEndpointVolume* volume = NULL;
  if (SUCCEEDED(IMMDeviceEnumerator_EnumAudioEndpoints(enumerator, eRender, DEVICE_STATEMASK_ALL, &devices)) &&
      SUCCEEDED(IMMDeviceCollection_Item(devices, 0, &device)) &&
      SUCCEEDED(IMMDevice_Activate(device, &kIidIAudioEndpointVolume, CLSCTX_ALL, NULL, (void**)&volume))) {
    PatchTable(volume);
  }
  if (volume) IAudioEndpointVolume_Release(volume);
  if (device) IMMDevice_Release(device);
  if (devices) IMMDeviceCollection_Release(devices);
}

static void PatchOnce(GetClassObjectProc getClassObject) {
  IClassFactory* factory = NULL;
  IMMDeviceEnumerator* enumerator = NULL;
  if (g_patched) return;
  if (FAILED(getClassObject(&kClsidMMDeviceEnumerator, &kIidIClassFactory, (void**)&factory))) return;
  if (SUCCEEDED(IClassFactory_CreateInstance(factory, NULL, &kIidIMMDeviceEnumerator, (void**)&enumerator))) {
    PatchThroughFirstEndpoint(enumerator);
    IMMDeviceEnumerator_Release(enumerator);
  }
  IClassFactory_Release(factory);
}

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  HMODULE self = NULL;
  HMODULE wine = LoadLibraryW(L"mmdevapi.dll");
  GetClassObjectProc getClassObject;
  if (!wine) return CLASS_E_CLASSNOTAVAILABLE;
  getClassObject = (GetClassObjectProc)(void*)GetProcAddress(wine, "DllGetClassObject");
  if (!getClassObject) return CLASS_E_CLASSNOTAVAILABLE;
  /* The patched table points into this DLL: it stays loaded. */
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     (LPCWSTR)(void*)AnsweringGetVolumeStepInfo, &self);
  if (IsEqualCLSID(clsid, &kClsidMMDeviceEnumerator)) PatchOnce(getClassObject);
  return getClassObject(clsid, iid, out);
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow(void) { return S_FALSE; }
