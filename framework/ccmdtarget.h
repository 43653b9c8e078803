// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Objects that receive commands through a static table per class. A command id is looked up in
// the class's table, then in its base classes' tables.

#include "framework/cobject.h"
#include "platform/wintypes.h"

#include <cstdint>

class CCmdTarget;

// What a command's update handler may set about the command's menu items and toolbar buttons.
class CCmdUI {
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    void Enable(bool on = true) { m_bEnabled = on; m_bEnableChanged = true; }
    void SetCheck(int check = 1) { m_nCheck = check; }

    UINT m_nID;
    bool m_bEnabled = false;
    bool m_bEnableChanged = false;
    int m_nCheck = -1; // -1: not a check item
};

using LRESULT = std::intptr_t;

// Header of a control's notification, as the list view sends them to its view.
struct NMHDR {
    void* hwndFrom;
    UINT idFrom;
    UINT code;
};

constexpr UINT NM_DBLCLK = UINT(-3);
constexpr UINT LVN_ITEMCHANGED = UINT(-101);

enum class AfxSig { End, Command, Update, NotifyReflect, KeyDown };

struct AFX_MSGMAP_ENTRY {
    AfxSig nSig;
    UINT nCode; // notification code for NotifyReflect
    UINT nID;
    UINT nLastID;
    void (*pfnCommand)(CCmdTarget* target, UINT id);
    void (*pfnUpdate)(CCmdTarget* target, CCmdUI* ui);
    void (*pfnNotify)(CCmdTarget* target, NMHDR* header, LRESULT* result);
    void (*pfnKeyDown)(CCmdTarget* target, UINT nChar, UINT nRepCnt, UINT nFlags);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // With `ui` null, runs the handler of `id` and returns true if one exists; otherwise asks
    // whether a handler or an update handler exists and lets the update handler fill `ui`.
    virtual bool OnCmdMsg(UINT id, CCmdUI* ui);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }

    // Reflected notifications and key-down messages, through the same tables.
    bool OnNotifyReflect(UINT code, NMHDR* header, LRESULT* result);
    bool OnKeyDownMsg(UINT nChar, UINT nRepCnt, UINT nFlags);

protected:
    bool DispatchFromMap(UINT id, CCmdUI* ui);
};

#define DECLARE_MESSAGE_MAP()                                                                      \
public:                                                                                            \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                \
    {                                                                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    {AfxSig::End, 0, 0, 0, nullptr, nullptr, nullptr, nullptr}                                     \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};                 \
    return &map;                                                                                   \
    }

#define ON_COMMAND(id, memberFxn)                                                                  \
    {AfxSig::Command, 0, id, id,                                                                   \
     [](CCmdTarget* t, UINT) { (static_cast<ThisClass*>(t)->*(memberFxn))(); }, nullptr, nullptr, nullptr},

#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                    \
    {AfxSig::Command, 0, id, idLast,                                                               \
     [](CCmdTarget* t, UINT n) { (static_cast<ThisClass*>(t)->*(memberFxn))(n); }, nullptr, nullptr, nullptr},

#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                        \
    {AfxSig::Update, 0, id, id, nullptr,                                                           \
     [](CCmdTarget* t, CCmdUI* ui) { (static_cast<ThisClass*>(t)->*(memberFxn))(ui); }, nullptr, nullptr},

#define ON_NOTIFY_REFLECT(code, memberFxn)                                                         \
    {AfxSig::NotifyReflect, code, 0, 0, nullptr, nullptr,                                          \
     [](CCmdTarget* t, NMHDR* h, LRESULT* r) { (static_cast<ThisClass*>(t)->*(memberFxn))(h, r); }, nullptr},

#define ON_WM_KEYDOWN()                                                                            \
    {AfxSig::KeyDown, 0, 0, 0, nullptr, nullptr, nullptr,                                          \
     [](CCmdTarget* t, UINT c, UINT r, UINT f) { static_cast<ThisClass*>(t)->OnKeyDown(c, r, f); }},

#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(UINT(id), memberFxn)
