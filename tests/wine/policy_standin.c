/* Test fixture, never shipped: a stand-in for the audio service's two
 * policy-config classes, which Wine does not have. Registered in a test prefix
 * under both CLSIDs, it hands out objects whose table slots 12 and 13 log the
 * slot, the endpoint ID and the role to the file named by the environment
 * variable ULVEX_POLICY_LOG, make the endpoint Wine's default output (the
 * value Wine's device enumerator reads at every default-endpoint query), and
 * answer S_OK. */
#include <windows.h>
#include <objbase.h>

#include <stdio.h>

static const CLSID kClsidVistaClient = {0x294935CE, 0xF637, 0x4E7C, {0xA4, 0x1B, 0xAB, 0x25, 0x54, 0x60, 0xB8, 0x62}};
static const CLSID kClsidClient = {0x870AF99C, 0x171D, 0x4F9E, {0xAF, 0x0D, 0xE6, 0x3D, 0xF4, 0x0C, 0x2B, 0xC9}};
static const IID kIidVista = {0x568B9108, 0x44BF, 0x40B4, {0x90, 0x06, 0x86, 0xAF, 0xE5, 0xB5, 0xA6, 0x20}};
static const IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID kIidClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

typedef struct Policy {
  void** table;
  LONG references;
  const char* name;
} Policy;

static void Log(const Policy* self, int slot, LPCWSTR id, int role) {
  char path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("ULVEX_POLICY_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  FILE* file = fopen(path, "a");
  if (!file) return;
  fprintf(file, "%s slot %d role %d id %ls\n", self->name, slot, role, id ? id : L"(null)");
  fclose(file);
}

static void MoveWineDefaultOutput(LPCWSTR id) {
  HKEY key;
  if (!id || RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Drivers\\winepulse.drv", 0, NULL, 0, KEY_SET_VALUE,
                             NULL, &key, NULL) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, L"DefaultOutput", 0, REG_SZ, (const BYTE*)id, (DWORD)((lstrlenW(id) + 1) * sizeof(WCHAR)));
  RegCloseKey(key);
}

static HRESULT STDMETHODCALLTYPE QueryInterface(Policy* self, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, &kIidUnknown) || IsEqualIID(riid, &kIidVista)) {
    *out = self;
    InterlockedIncrement(&self->references);
    return S_OK;
  }
  *out = NULL;
  return E_NOINTERFACE;
}
static ULONG STDMETHODCALLTYPE AddRef(Policy* self) { return (ULONG)InterlockedIncrement(&self->references); }
static ULONG STDMETHODCALLTYPE Release(Policy* self) {
  LONG left = InterlockedDecrement(&self->references);
  if (left == 0) HeapFree(GetProcessHeap(), 0, self);
  return (ULONG)left;
}
static HRESULT STDMETHODCALLTYPE Placeholder(Policy* self) {
  (void)self;
  return E_NOTIMPL;
}
static HRESULT STDMETHODCALLTYPE Slot12(Policy* self, LPCWSTR id, int role) {
  Log(self, 12, id, role);
  MoveWineDefaultOutput(id);
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE Slot13(Policy* self, LPCWSTR id, int role) {
  Log(self, 13, id, role);
  MoveWineDefaultOutput(id);
  return S_OK;
}

static void* g_table[16] = {
    (void*)QueryInterface, (void*)AddRef,      (void*)Release,     (void*)Placeholder, (void*)Placeholder,
    (void*)Placeholder,    (void*)Placeholder, (void*)Placeholder, (void*)Placeholder, (void*)Placeholder,
    (void*)Placeholder,    (void*)Placeholder, (void*)Slot12,      (void*)Slot13,      (void*)Placeholder,
    (void*)Placeholder};

typedef struct Factory {
  void** table;
  const char* name;
} Factory;

static HRESULT STDMETHODCALLTYPE FactoryQueryInterface(Factory* self, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, &kIidUnknown) || IsEqualIID(riid, &kIidClassFactory)) {
    *out = self;
    return S_OK;
  }
  *out = NULL;
  return E_NOINTERFACE;
}
static ULONG STDMETHODCALLTYPE FactoryAddRef(Factory* self) {
  (void)self;
  return 2;
}
static ULONG STDMETHODCALLTYPE FactoryRelease(Factory* self) {
  (void)self;
  return 1;
}
static HRESULT STDMETHODCALLTYPE CreateInstance(Factory* self, IUnknown* outer, REFIID riid, void** out) {
  Policy* policy;
  HRESULT result;
  if (!out) return E_POINTER;
  *out = NULL;
  if (outer) return CLASS_E_NOAGGREGATION;
  policy = (Policy*)HeapAlloc(GetProcessHeap(), 0, sizeof(Policy));
  if (!policy) return E_OUTOFMEMORY;
  policy->table = g_table;
  policy->references = 1;
  policy->name = self->name;
  result = QueryInterface(policy, riid, out);
  Release(policy);
  return result;
}
static HRESULT STDMETHODCALLTYPE LockServer(Factory* self, BOOL lock) {
  (void)self;
  (void)lock;
  return S_OK;
}

static void* g_factoryTable[5] = {(void*)FactoryQueryInterface, (void*)FactoryAddRef, (void*)FactoryRelease,
                                  (void*)CreateInstance, (void*)LockServer};
static Factory g_vistaFactory = {g_factoryTable, "vista-client"};
static Factory g_clientFactory = {g_factoryTable, "client"};

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (IsEqualCLSID(clsid, &kClsidVistaClient)) return FactoryQueryInterface(&g_vistaFactory, riid, out);
  if (IsEqualCLSID(clsid, &kClsidClient)) return FactoryQueryInterface(&g_clientFactory, riid, out);
  if (out) *out = NULL;
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT WINAPI DllCanUnloadNow(void) { return S_FALSE; }
