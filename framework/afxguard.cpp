// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/afxguard.h"

#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/cinvalidargexception.h"

#include <new>

bool AfxRunGuarded(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const CInvalidArgException&) {
        AfxMessageBox(QStringLiteral("Encountered an improper argument."), MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(QStringLiteral("Out of memory."), MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::exception& e) {
        AfxMessageBox(QString::fromLocal8Bit(e.what()), MB_OK | MB_ICONEXCLAMATION);
    }
    return false;
}
