#pragma once
// The parameter objects of interaction commands and the handle through
// which a state holds its parameter.
//
// A command is started with a parameter that carries its data; the
// parameter travels down the command's chain of states, each state holding
// it until it names its successor, and the program frees it at the end of
// the command. A nested operation (zoom window, pan) started without a
// parameter shares the parameter of the command it interrupts: its states
// hold that parameter borrowed, so nothing they do (stop, end, replacing
// their parameter) frees it; it stays with the suspended command.

#include <concepts>
#include <memory>

struct TCADStateClassInfo;
class TGraphicObject;

// A state class: a factory with an identity. Compared by address; null is
// "none" (as a next state: the command ends).
using TCADStateClass = const TCADStateClassInfo*;

// Base of every state parameter.
class TQV_00CADPrgParam {
public:
    // afterState: the state to go to when the command's own work is done;
    // null means the idle state.
    explicit TQV_00CADPrgParam(TCADStateClass afterState = nullptr) : m_AfterState(afterState) {}
    virtual ~TQV_00CADPrgParam() = default;
    TQV_00CADPrgParam(const TQV_00CADPrgParam&) = delete;
    TQV_00CADPrgParam& operator=(const TQV_00CADPrgParam&) = delete;

    TCADStateClass AfterState() const { return m_AfterState; }
    void SetAfterState(TCADStateClass afterState) { m_AfterState = afterState; }

    // An object the caller may name after construction (not owned); the
    // explode-container and node-editing states take their object from it.
    TGraphicObject* UserObject() const { return m_UserObject; }
    void SetUserObject(TGraphicObject* object) { m_UserObject = object; }

private:
    TCADStateClass m_AfterState;
    TGraphicObject* m_UserObject = nullptr;
};

// Base of the parameters of the view, selection and drawing states and of
// the chain-picking states.
class TQV_00CommonParam : public TQV_00CADPrgParam {
public:
    using TQV_00CADPrgParam::TQV_00CADPrgParam;
};

// A state's hold on its parameter: owned (freed with the handle) or
// borrowed (a nested operation sharing the suspended command's parameter;
// never freed through the handle). Move-only; empty means no parameter.
class TCADStateParam {
public:
    TCADStateParam() = default;
    // Owning. A null pointer gives an empty handle.
    template <class P>
        requires std::derived_from<P, TQV_00CADPrgParam>
    TCADStateParam(std::unique_ptr<P> owned) // implicit: a parameter handed over is owned
        : m_Owned(std::move(owned)), m_Param(m_Owned.get())
    {
    }
    static TCADStateParam Borrowed(TQV_00CADPrgParam* param)
    {
        TCADStateParam p;
        p.m_Param = param;
        return p;
    }
    TCADStateParam(TCADStateParam&& other) noexcept
        : m_Owned(std::move(other.m_Owned)), m_Param(other.m_Param)
    {
        other.m_Param = nullptr;
    }
    TCADStateParam& operator=(TCADStateParam&& other) noexcept
    {
        if (this != &other) {
            m_Owned = std::move(other.m_Owned);
            m_Param = other.m_Param;
            other.m_Param = nullptr;
        }
        return *this;
    }

    TQV_00CADPrgParam* Get() const { return m_Param; }
    explicit operator bool() const { return m_Param != nullptr; }
    bool Owns() const { return m_Owned != nullptr; }

    // Gives up the parameter: the owned object for an owning handle, null
    // for a borrowed one. The handle is empty afterwards.
    std::unique_ptr<TQV_00CADPrgParam> Release()
    {
        m_Param = nullptr;
        return std::move(m_Owned);
    }
    // Frees an owned parameter, forgets a borrowed one.
    void Reset()
    {
        m_Owned.reset();
        m_Param = nullptr;
    }

private:
    std::unique_ptr<TQV_00CADPrgParam> m_Owned;
    TQV_00CADPrgParam* m_Param = nullptr;
};
