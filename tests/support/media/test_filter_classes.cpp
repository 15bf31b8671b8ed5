#include "support/media/test_filter_classes.h"

#include <mutex>

#include "platform/com/class_factory.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "support/media/capture_source.h"
#include "support/media/converter.h"
#include "support/media/inplace_transform.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

// The module table of every test process that links the test filters:
// the base classes' registration (AMovieDllRegisterServer2) works over it.
CFactoryTemplate g_Templates[] = {
    {u"Test Push Source", &kvtest::CLSID_TestPushSource, kvtest::TestPushSource::CreateInstance, nullptr, nullptr},
    {u"Test In-Place Transform", &kvtest::CLSID_TestInPlace, kvtest::TestInPlaceTransform::CreateInstance, nullptr,
     nullptr},
    {u"Test Sink", &kvtest::CLSID_TestSink, kvtest::TestSink::CreateInstance, nullptr, nullptr},
    {u"Test Converter", &kvtest::CLSID_TestConverter, kvtest::TestConverter::CreateInstance, nullptr,
     &kvtest::TestConverter::SetupData()},
    {u"Test Capture Source", &kvtest::CLSID_TestCaptureSource, kvtest::TestCaptureSource::CreateInstance, nullptr,
     nullptr},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

namespace kvtest {

HRESULT RegisterTestFilterClasses() {
    static std::once_flag once;
    static HRESULT result = S_OK;
    std::call_once(once, [] {
        for (const CFactoryTemplate& row : g_Templates) {
            ComPtr<IClassFactory> factory(new CClassFactory(&row));
            const HRESULT hr = CoRegisterBuiltinClass(*row.m_ClsID, factory.Get());
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    });
    return result;
}

}  // namespace kvtest
