#pragma once
// A graph manager made through COM, as the program makes it, with the
// interfaces the graph tests use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"

namespace kvtest {

class GraphFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(graph.As(&control), S_OK);
        ASSERT_EQ(graph.As(&events), S_OK);
    }

    void Add(IBaseFilter* filter, const char16_t* name) { ASSERT_EQ(graph->AddFilter(filter, name), S_OK); }

    // Without a clock the renderers present every sample at once: streaming runs flat out.
    void RunFreely() {
        ComPtr<IMediaFilter> asFilter;
        ASSERT_EQ(graph.As(&asFilter), S_OK);
        ASSERT_EQ(asFilter->SetSyncSource(nullptr), S_OK);
    }

    // The names of the graph's filters in EnumFilters order.
    std::vector<std::u16string> FilterNames() {
        std::vector<std::u16string> names;
        ComPtr<IEnumFilters> filters;
        EXPECT_EQ(graph->EnumFilters(filters.GetAddressOf()), S_OK);
        ComPtr<IBaseFilter> filter;
        while (filters->Next(1, filter.GetAddressOf(), nullptr) == S_OK) {
            FILTER_INFO info{};
            EXPECT_EQ(filter->QueryFilterInfo(&info), S_OK);
            if (info.pGraph) info.pGraph->Release();
            names.emplace_back(info.achName);
        }
        return names;
    }

    // The next event within the time, or 0 when none came.
    LONG NextEvent(LONG msTimeout, LONG_PTR* param1 = nullptr) {
        LONG code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        if (events->GetEvent(&code, &p1, &p2, msTimeout) != S_OK) return 0;
        events->FreeEventParams(code, p1, p2);
        if (param1) *param1 = p1;
        return code;
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
};

}  // namespace kvtest
