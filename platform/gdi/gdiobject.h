// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The common part of every object a drawing context can select: its kind, and whether it is a
// stock object that lives for the whole process and is never really deleted.

struct GdiObject {
    enum class Kind { Bitmap, Brush };

    GdiObject(Kind kind, bool stock) : m_kind(kind), m_stock(stock) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Kind kind() const { return m_kind; }
    bool isStock() const { return m_stock; }

private:
    Kind m_kind;
    bool m_stock;
};
