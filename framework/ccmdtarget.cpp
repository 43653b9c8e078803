// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/ccmdtarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{AfxSig::End, 0, 0, 0, nullptr, nullptr, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

bool CCmdTarget::OnCmdMsg(UINT id, CCmdUI* ui)
{
    return DispatchFromMap(id, ui);
}

namespace {
template <typename Match>
const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, Match match)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig::End; ++e)
            if (match(*e))
                return e;
    return nullptr;
}

auto CommandOf(UINT id, AfxSig sig)
{
    return [id, sig](const AFX_MSGMAP_ENTRY& e) { return e.nSig == sig && id >= e.nID && id <= e.nLastID; };
}
} // namespace

bool CCmdTarget::DispatchFromMap(UINT id, CCmdUI* ui)
{
    if (!ui) {
        const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), CommandOf(id, AfxSig::Command));
        if (!e)
            return false;
        e->pfnCommand(this, id);
        return true;
    }
    if (const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), CommandOf(id, AfxSig::Update))) {
        ui->Enable(true);
        e->pfnUpdate(this, ui);
        return true;
    }
    if (FindEntry(GetMessageMap(), CommandOf(id, AfxSig::Command))) {
        ui->Enable(true);
        return true;
    }
    return false;
}

bool CCmdTarget::OnNotifyReflect(UINT code, NMHDR* header, LRESULT* result)
{
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), [code](const AFX_MSGMAP_ENTRY& entry) {
        return entry.nSig == AfxSig::NotifyReflect && entry.nCode == code;
    });
    if (!e)
        return false;
    e->pfnNotify(this, header, result);
    return true;
}

bool CCmdTarget::OnKeyDownMsg(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const AFX_MSGMAP_ENTRY* e =
        FindEntry(GetMessageMap(), [](const AFX_MSGMAP_ENTRY& entry) { return entry.nSig == AfxSig::KeyDown; });
    if (!e)
        return false;
    e->pfnKeyDown(this, nChar, nRepCnt, nFlags);
    return true;
}
