#include "fuzz/FuzzEntries.h"

#include "core/file/DocumentFile.h"
#include "core/entities/EntityRegistration.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/model/UserNotifier.h"

#include <exception>

namespace {

// The loaders' message boxes go nowhere while fuzzing.
class TSilentNotifier final : public TUserNotifier {
public:
    void ShowMessage(EMessageKind, const std::string&, const std::string&) override {}
    EUserAnswer AskYesNo(const std::string&, const std::string&) override { return EUserAnswer::Yes; }
};

class TSilence {
public:
    TSilence() : m_Previous(SetUserNotifier(&m_Notifier)) {}
    ~TSilence() { SetUserNotifier(m_Previous); }
    TSilence(const TSilence&) = delete;
    TSilence& operator=(const TSilence&) = delete;

private:
    TSilentNotifier m_Notifier;
    TUserNotifier* m_Previous;
};

} // namespace

// The bytes as a document file, then as a block library. Whatever a load
// kept must save, and the saved document must read back without error.
int KbFuzzDocument(const uint8_t* data, size_t size)
{
    static const bool registered = [] {
        RegisterEntityClasses();
        return true;
    }();
    (void)registered;
    const TSilence silence;

    TQV_01Cmp2D document;
    try {
        TMemoryStream in(data, size);
        (void)document.LoadFromStream(in, false);
    } catch (const std::exception&) {
        // Damaged input: the error is the expected answer.
    }
    TMemoryStream out;
    document.SaveToStream(out);
    out.SetPosition(0);
    TQV_01Cmp2D again;
    (void)again.LoadFromStream(out, false);

    TQV_01Cmp2D library;
    try {
        TMemoryStream in(data, size);
        (void)library.LoadLibrary(in);
    } catch (const std::exception&) {
    }
    return 0;
}
