#pragma once
// Holding tabs: short stretches of a contour left uncut (full tab) or cut at
// a raised height (partial tab), so that the part stays attached to the
// sheet. A tab (TDatiTab) remembers where the user clicked and the nearest
// point of the nearest chain; the tabs of one operation are a TListaTab, kept
// and stored with the operation's parameters. The holding-tab window edits
// the list; the contour generator applies it.
//
// Each placed tab is shown by a marker object in the drawing. The list
// deletes the markers of the tabs it drops from the drawing set with
// SetTabMarkerDocument (none: markers are left alone), and keeps the lines of
// an attached list box (the holding-tab window's) in step with the tabs.
//
// Stored record (little-endian): int32 tab count n; when n > 0: double width,
// then (records of "QV-002" and later only) double thickness, byte full,
// byte reserved, then n tabs of 48 bytes: pick point X, Y, chain point X, Y,
// distance (doubles), chain id, segment index (int32). Writers always write
// the full layout. Main thread only.

#include "core/geometry/Points.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TQV_01Cmp;
class TStream;

// The list box that shows one line per tab; the holding-tab window
// implements it over its widget, tests with a recording fake.
class TTabListBox {
public:
    virtual ~TTabListBox() = default;
    virtual void AddLine(const std::string& text) = 0;
    virtual void DeleteLine(int index) = 0;
    virtual void Clear() = 0;
};

// The marker ID of a tab that has no marker (read from a document, not yet
// placed).
inline constexpr int32_t kNoTabMarker = -1;

struct TDatiTab {
    TVector2D PickPoint;  // where the user clicked
    TVector2D ChainPoint; // the nearest point on the nearest chain
    double Distance = 1e8; // pick point to chain; 1e8 before any chain is found
    int32_t ChainId = 0;
    int32_t SegmentIndex = 0; // the chain segment that holds the chain point
    // Not stored: the vertex index while the tab is applied to a toolpath
    // curve, and the drawing object that shows the tab.
    int32_t WorkIndex = 0;
    int32_t MarkerId = kNoTabMarker;

    // One 48-byte tab; raises EStreamReadError when the stream ends first.
    static TDatiTab CreateFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
};

// The size of one stored tab.
inline constexpr int64_t kTabRecordSize = 48;

class TListaTab {
public:
    TListaTab() = default;
    // Drops the tabs without touching the drawing: the owner calls
    // ClearTabs when the markers must go.
    ~TListaTab() = default;
    TListaTab(const TListaTab&) = delete;
    TListaTab& operator=(const TListaTab&) = delete;

    int Count() const { return static_cast<int>(m_Tabs.size()); }
    TDatiTab& Tab(int index) { return *m_Tabs.at(static_cast<size_t>(index)); }
    const TDatiTab& Tab(int index) const { return *m_Tabs.at(static_cast<size_t>(index)); }

    // The attached list box (not owned; null for none).
    void SetListBox(TTabListBox* box) { m_ListBox = box; }
    TTabListBox* ListBox() const { return m_ListBox; }

    // Appends the tab and the line "X<x> Y<y>" of its chain point to the
    // list box.
    void AddTab(std::unique_ptr<TDatiTab> tab);
    // Deletes that tab's marker, the tab and line index of the list box. An
    // index outside the list does nothing.
    void DeleteTab(int index);
    // Deletes every marker (see RemoveMarkers), frees every tab, clears the
    // list box.
    void ClearTabs();
    // Deletes the markers of all tabs from the drawing, in list order; the
    // tabs stay and forget their markers. A deletion the drawing refuses
    // ends the marker deletion silently.
    void RemoveMarkers();

    // Reads the record of a document of that version. A tab count the
    // stream cannot hold, a record cut short, or one that ends the stream
    // (a tab list is never the last thing in a document) empties the list
    // and raises ECADFileNotValid "LoadFromStream: Invalid stream.". An
    // empty list reads its count only: width, thickness and kind stay.
    void LoadFromStream(TStream& stream, std::string_view version);
    void SaveToStream(TStream& stream) const;

    // Length of a tab along the chain, before the tool diameter is added.
    double TabWidth = 0.0;
    // Height kept under a partial tab.
    double TabThickness = 0.0;
    uint8_t Full = 0; // 1 full tabs, 0 partial tabs
    uint8_t Reserved = 0;

private:
    std::vector<std::unique_ptr<TDatiTab>> m_Tabs;
    TTabListBox* m_ListBox = nullptr;
};

// The drawing that holds the tab markers: the main window sets its document
// at start-up. Null (the default): markers are not deleted.
void SetTabMarkerDocument(TQV_01Cmp* document);
TQV_01Cmp* TabMarkerDocument();
