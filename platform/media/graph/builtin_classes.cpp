#include "platform/media/graph/builtin_classes.h"

#include "platform/com/class_factory.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/filters/platform_filters.h"
#include "platform/media/graph/capture_graph_builder.h"
#include "platform/media/graph/filter_graph.h"
#include "platform/media/graph/filter_mapper.h"
#include "platform/media/graph/system_clock.h"
#include "platform/media/graph/system_device_enum.h"
#include "platform/media/uuids.h"

namespace {

// One row per built-in class; platform filters add theirs here.
const CFactoryTemplate kPlatformClasses[] = {
    {u"Filter Graph", &CLSID_FilterGraph, kvmedia::FilterGraph::CreateInstance, nullptr, nullptr},
    {u"Capture Graph Builder 2", &CLSID_CaptureGraphBuilder2, kvmedia::CaptureGraphBuilder::CreateInstance, nullptr,
     nullptr},
    {u"Filter Mapper 2", &CLSID_FilterMapper2, kvmedia::FilterMapper::CreateInstance, nullptr, nullptr},
    {u"System Device Enumerator", &CLSID_SystemDeviceEnum, kvmedia::SystemDeviceEnum::CreateInstance, nullptr,
     nullptr},
    {u"System Clock", &CLSID_SystemClock, kvmedia::SystemClock::CreateInstance, nullptr, nullptr},
};

HRESULT RegisterAll() {
    for (const CFactoryTemplate& row : kPlatformClasses) {
        const ComPtr<IClassFactory> factory(new CClassFactory(&row));
        if (const HRESULT hr = CoRegisterBuiltinClass(*row.m_ClsID, factory.Get()); FAILED(hr)) return hr;
    }
    return KvRegisterPlatformFilterClasses();
}

// Registers the table when the library is loaded.
const HRESULT g_registeredOnLoad = KvMediaRegisterPlatformClasses();

}  // namespace

HRESULT KvMediaRegisterPlatformClasses() {
    static const HRESULT result = RegisterAll();
    return result;
}
