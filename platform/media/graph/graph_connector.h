#pragma once
// GraphConnector: the graph manager's connection search, for one Connect or
// Render call. It tries the pins directly first (each type the output pin
// offers, then each the input pin offers), then places filters between
// them: first filters already in the graph that have a free input pin, then
// registered filters (IFilterMapper2::EnumMatchingFilters, merit above
// MERIT_DO_NOT_USE, best first), added to the graph, connected on both
// sides, up to kMostInsertedFilters deep. Every connection made and filter
// added is logged, so a search that fails leaves the graph as it found it.
//
// The caller holds the graph lock for the whole search.
#include <map>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/strmif.h"

namespace kvmedia {

class GraphConnector {
public:
    explicit GraphConnector(IFilterGraph* graph);

    // VFW_E_CANNOT_CONNECT when nothing fits.
    HRESULT Connect(IPin* out, IPin* in);
    // Connects the pin onward until every stream ends in a renderer:
    // S_OK, VFW_S_PARTIAL_RENDER when some streams of an inserted filter
    // could not be rendered, VFW_E_CANNOT_RENDER when none could.
    HRESULT Render(IPin* out);

    static constexpr int kMostInsertedFilters = 4;
    // Registered filters tried per search, whatever the depth: many filters
    // that take anything must not turn a failing search into a hang.
    static constexpr int kMostCandidatesTried = 64;

private:
    struct Mark {
        std::size_t connections;
        std::size_t filters;
        bool partial;
    };

    // Toward `target`, or toward any renderer when target is null.
    bool Extend(IPin* out, IPin* target, int depth);
    bool ExtendThrough(IPin* out, IBaseFilter* filter, IPin* target, int depth);
    bool ConnectDirectly(IPin* out, IPin* in);
    std::vector<ComPtr<IBaseFilter>> FiltersInGraph();
    std::vector<ComPtr<IMoniker>> RegisteredCandidates(IPin* out);

    Mark Here() const { return {connections_.size(), added_.size(), partial_}; }
    void RollBack(Mark mark);

    IFilterGraph* graph_;
    ComPtr<IFilterMapper2> mapper_;
    std::vector<ComPtr<IPin>> connections_;     // output pins connected by this search, in order
    std::vector<ComPtr<IBaseFilter>> added_;    // filters added by this search, in order
    bool partial_ = false;
    int candidatesLeft_ = kMostCandidatesTried;
    // Mapper answers by the (major, subtype) pairs asked for; the registry is read once per question.
    std::map<std::vector<GUID>, std::vector<ComPtr<IMoniker>>> candidates_;
};

}  // namespace kvmedia
