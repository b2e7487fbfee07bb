#pragma once
// The machining state of the tool window: the operation being created or
// edited, the tool library of its kind and the binding of its comment edit.
//
// There is one context while the tool window lives (the tool window makes
// it and installs it); every handler of the machining pages asks
// MachiningContext() first and does nothing when it is null. The operation
// and the library stay where the model keeps them (CurrentOperation() of
// cam/ops/OpManager.h, CurrentToolLibrary() of cam/tools): the context reads
// and writes them there, so the model and the pages see one value.
//
// A new operation is owned by the context until its first Calculate appends
// it to the operation manager (ReleaseNewOperation); FreeNewOperation (the
// tool window's hide, Cancel) frees one that was never calculated and leaves
// a listed one alone. Main thread only.

#include <memory>

class TLibreriaUtBase;
class TOpComment;
class TOpManagerField;

class TMachiningContext {
public:
    TMachiningContext();
    // Frees a new operation still owned and the comment binding.
    ~TMachiningContext();
    TMachiningContext(const TMachiningContext&) = delete;
    TMachiningContext& operator=(const TMachiningContext&) = delete;

    // The operation being created or edited; null when there is none.
    TOpManagerField* CurrentOperation() const;
    // Makes a listed operation (or none) current. A new operation owned
    // before stays owned (the tool window frees it when it hides).
    void SetCurrentOperation(TOpManagerField* op);
    // Takes a new, not yet listed operation and makes it current.
    TOpManagerField* SetNewOperation(std::unique_ptr<TOpManagerField> op);
    // The new operation owned here (null when there is none): still current.
    TOpManagerField* NewOperation() const { return m_NewOperation.get(); }
    // Gives up the new operation (to be appended to the manager); it stays
    // current.
    std::unique_ptr<TOpManagerField> ReleaseNewOperation();
    // Frees the new operation when there is one (it stops being current
    // when it was); a listed current operation is left alone.
    void FreeNewOperation();

    // The tool library of the current operation's kind; null without one.
    TLibreriaUtBase* CurrentToolLibrary() const;

    // The comment binding of the current operation's page; null without one.
    TOpComment* CurrentOpComment() const { return m_OpComment.get(); }
    void SetCurrentOpComment(std::unique_ptr<TOpComment> comment);

private:
    std::unique_ptr<TOpManagerField> m_NewOperation;
    std::unique_ptr<TOpComment> m_OpComment;
};

// The installed context; null when there is none (no tool window, most
// tests).
TMachiningContext* MachiningContext();
// Installs context (not owned; null removes it) and returns the one
// installed before.
TMachiningContext* SetMachiningContext(TMachiningContext* context);
