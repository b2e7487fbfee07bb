#pragma once
// Tool libraries: the records of one machine family kept in one binary file,
// mill "*.tlb" (TFresaLib), lathe "*.rlb" (TTornioLib), laser "*.llb"
// (TLaserLib). A file has no header: records back to back until its end, in
// the stored forms of cam/DatiUtBase.h (mill: its 124-byte library form).
//
// The library owns its records, in list order, and mirrors them in its list
// view (one item per record) when it has one; a page and a list view are
// optional, so a library also works without a window (tools, tests). Both
// are not owned and must outlive the library: destroying a library clears
// it, list view included.

#include "cam/tools/DatiUtBase.h"

#include <memory>
#include <string>
#include <vector>

class TStream;
class TToolListView;
class TToolPage;

class TLibreriaUtBase {
public:
    virtual ~TLibreriaUtBase() = default;
    TLibreriaUtBase(const TLibreriaUtBase&) = delete;
    TLibreriaUtBase& operator=(const TLibreriaUtBase&) = delete;

    virtual EToolKind Kind() const = 0;

    // Frees every record and empties the list view.
    virtual void Clear();
    // Frees the record at index and deletes its item; an index outside the
    // list does nothing.
    virtual void Delete(int index);
    // Takes the record (which must be of the library's kind), adds its item.
    virtual void AddRecord(std::unique_ptr<TDatiUtBase> record);
    // Moves the record at from in front of the record at to (indices before
    // the move), as a drag in the list view does; the list view is moved by
    // the one who dragged. An index outside the list does nothing.
    void MoveRecord(int from, int to);
    // Adapts the page's size fields to a mill tool type (mill only).
    virtual void TypeChanged(int toolType);
    // Makes a record of the library's kind from the page and adds it; false
    // (nothing added) when the page holds a bad number.
    virtual bool NewFromPage();
    // Replaces the records by those of the file. The first record goes to
    // the page and is selected; the lathe library, when assignFirst is set,
    // also copies it into destination (a lathe record). On success the name
    // label and the library's setting take the file name. A file that cannot
    // be opened or holds a damaged record (cut short, impossible string
    // length) shows "<file name> 453" (caption "450", warning) and returns
    // false; the records read before the damage stay in the list.
    virtual bool LoadFromFile(const std::string& fileName, TDatiUtBase* destination = nullptr,
                              bool assignFirst = false);
    // Writes every record in list order, replacing the file only once all
    // was written; then the name label and the setting take the file name.
    // Raises EStreamWriteError when the file cannot be written.
    virtual void SaveToFile(const std::string& fileName);

    // Highlights the item of the first record that is the tool as the list
    // shows it (the same item caption and tool type), or no item when no
    // record is: the list never points at a tool the page does not show.
    void SelectRecordOf(const TDatiUtBase& tool);

    // Reads the records of a library file's bytes, adding them; raises
    // ECADFileNotValid at the first damaged record (those before it stay).
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    // The list view it mirrors its records in; null for none.
    TToolListView* ListView() const { return m_ListView; }
    // Lets go of the list view and page (they are going); the records stay.
    void DetachViews()
    {
        m_ListView = nullptr;
        m_Page = nullptr;
    }
    int Count() const { return static_cast<int>(m_Records.size()); }
    TDatiUtBase& Record(int index) { return *m_Records.at(static_cast<size_t>(index)); }
    const TDatiUtBase& Record(int index) const { return *m_Records.at(static_cast<size_t>(index)); }
    // The caption of a record's list item: name, "(" (lathe " ("), the size
    // word "752" (lathe "751"), a blank, the diameter in the tool-size
    // format, ")".
    virtual std::string ItemCaption(const TDatiUtBase& record) const;

    // The library file extension and the default file name for the unit
    // word of the settings: "Tools_mm.tlb", "Lathe_inch.rlb", ...
    virtual std::string Extension() const = 0;
    virtual std::string DefaultFileName(const std::string& unitWord) const = 0;

protected:
    TLibreriaUtBase(TToolListView* listView, TToolPage* page) : m_ListView(listView), m_Page(page) {}
    virtual std::unique_ptr<TDatiUtBase> NewRecord() const = 0;
    virtual int ItemImage(const TDatiUtBase&) const { return -1; }
    virtual std::string SizeWord() const;
    virtual std::string CaptionOpen() const { return "("; }
    // The page's label of the library name and the settings key.
    virtual const char* NameLabel() const = 0;
    virtual void StoreNameSetting(const std::string& fileName) const = 0;
    void SetLibraryName(const std::string& fileName);

    TToolListView* m_ListView;
    TToolPage* m_Page;
    std::vector<std::unique_ptr<TDatiUtBase>> m_Records;
};

class TFresaLib : public TLibreriaUtBase {
public:
    explicit TFresaLib(TToolListView* listView = nullptr, TToolPage* page = nullptr)
        : TLibreriaUtBase(listView, page) {}
    ~TFresaLib() override { Clear(); }
    EToolKind Kind() const override { return EToolKind::Mill; }
    void TypeChanged(int toolType) override;
    std::string Extension() const override { return ".tlb"; }
    std::string DefaultFileName(const std::string& unitWord) const override { return "Tools_" + unitWord + ".tlb"; }

protected:
    std::unique_ptr<TDatiUtBase> NewRecord() const override { return std::make_unique<TDatiUtFresa>(); }
    int ItemImage(const TDatiUtBase& record) const override { return record.ToolType; }
    const char* NameLabel() const override { return "lblToolsLibName"; }
    void StoreNameSetting(const std::string& fileName) const override;
};

class TTornioLib : public TLibreriaUtBase {
public:
    explicit TTornioLib(TToolListView* listView = nullptr, TToolPage* page = nullptr)
        : TLibreriaUtBase(listView, page) {}
    ~TTornioLib() override { Clear(); }
    EToolKind Kind() const override { return EToolKind::Lathe; }
    // A new record starts as a copy of the current operation's lathe tool
    // (set with SetOperationTool), so the insert geometry comes from there.
    bool NewFromPage() override;
    void SetOperationTool(const TDatiUtTornio* tool) { m_OperationTool = tool; }
    const TDatiUtTornio* OperationTool() const { return m_OperationTool; }
    std::string Extension() const override { return ".rlb"; }
    std::string DefaultFileName(const std::string& unitWord) const override { return "Lathe_" + unitWord + ".rlb"; }

protected:
    std::unique_ptr<TDatiUtBase> NewRecord() const override { return std::make_unique<TDatiUtTornio>(); }
    std::string SizeWord() const override;
    std::string CaptionOpen() const override { return " ("; }
    const char* NameLabel() const override { return "lblLatheToolsLibName"; }
    void StoreNameSetting(const std::string& fileName) const override;

private:
    const TDatiUtTornio* m_OperationTool = nullptr;
};

class TLaserLib : public TLibreriaUtBase {
public:
    explicit TLaserLib(TToolListView* listView = nullptr, TToolPage* page = nullptr)
        : TLibreriaUtBase(listView, page) {}
    ~TLaserLib() override { Clear(); }
    EToolKind Kind() const override { return EToolKind::Laser; }
    std::string Extension() const override { return ".llb"; }
    std::string DefaultFileName(const std::string& unitWord) const override { return "Laser_" + unitWord + ".llb"; }

protected:
    std::unique_ptr<TDatiUtBase> NewRecord() const override { return std::make_unique<TDatiLaser>(); }
    const char* NameLabel() const override { return "lblLaserLibName"; }
    void StoreNameSetting(const std::string& fileName) const override;
};

// The library file an operation opens: the settings' file name when that
// file exists, else the same file name in the configuration folder's tools
// folder.
std::string SelectLibraryFile(const std::string& settingName, const std::string& toolsFolder);
