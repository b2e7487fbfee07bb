#pragma once
// The set-up shared by the document file tests: the entity classes
// registered, a font in the slot the fixtures name, default operations
// hooks, no current label object, and a recording notifier.

#include "core/file/DocumentFile.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Etichetta.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/entities/VectFont.h"
#include "tests/core/DocumentFixtures.h"
#include "tests/support/RecordingNotifier.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kbtest {

class DocumentFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterEntityClasses();
        try {
            CADSysFindFontByIndex(docfix::kFullTextFontSlot);
        } catch (const ECADObjClassNotFound&) {
            CADSysRegisterFont(docfix::kFullTextFontSlot, std::make_unique<TVectFont>());
        }
        Reset();
    }
    void TearDown() override { Reset(); }

    static void Reset()
    {
        SetSaveOperationsHook(nullptr);
        SetLoadOperationsHook(nullptr);
        SetCurrentLabelObject(nullptr);
    }

    static std::vector<uint8_t> Save(TQV_01Cmp& doc)
    {
        TMemoryStream stream;
        doc.SaveToStream(stream);
        return stream.Data();
    }

    static TDocumentLoadResult Load(TQV_01Cmp& doc, const std::vector<uint8_t>& bytes, bool merge = false)
    {
        TMemoryStream stream(bytes);
        return doc.LoadFromStream(stream, merge);
    }

    // The text of the ECADFileNotValid that f raises; "no error" or the
    // text of another exception otherwise.
    template <class F>
    static std::string ErrorText(F&& f)
    {
        try {
            f();
        } catch (const ECADFileNotValid& e) {
            return e.what();
        } catch (const std::exception& e) {
            return std::string("other exception: ") + e.what();
        }
        return "no error";
    }

    // The objects of the document in list order.
    static std::vector<TGraphicObject*> ObjectsOf(TQV_01Cmp& doc)
    {
        std::vector<TGraphicObject*> objects;
        TGraphicObjIterator it = doc.ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            objects.push_back(object);
        return objects;
    }

    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& message : m_Notifier.Messages())
            texts.push_back(message.Text);
        return texts;
    }

    TRecordingNotifier m_Notifier;
};

} // namespace kbtest
