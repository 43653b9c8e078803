// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Why a picture gave no pixels, or only part of them, in the words of the decoder or of the file
// reading where there are any. The kind tells whether another attempt on the unchanged file could
// do better: a photo that is damaged or no picture stays so, while a read error or a want of
// memory may pass, so nothing made of it may be remembered. Header only: the file reading below
// the decoders reports its faults in it too.

#include <QString>

class DecodeFault {
public:
    enum class Kind {
        None,
        CutShort,    // the file ends before the picture does
        Damaged,     // the decoder gave up on the data, or made what it could of it
        NotAPicture, // no decoder of the photo formats reads it
        TooLarge,    // more pixels or bytes than the services decode
        Unreadable,  // the file cannot be opened
        ReadError,   // the file's bytes could not be read (an input/output error)
        NoResources, // memory or mappings ran short
    };

    DecodeFault() = default;
    DecodeFault(Kind kind, QString detail = QString()) : m_kind(kind), m_detail(std::move(detail)) {}

    Kind kind() const { return m_kind; }
    bool isNone() const { return m_kind == Kind::None; }
    // True when another attempt on the unchanged file gives the same: what may be remembered.
    bool isLasting() const { return m_kind < Kind::Unreadable; }

    // Keeps the graver of the two: one that may pass before one that lasts.
    void add(const DecodeFault& other)
    {
        if (other.m_kind > m_kind)
            *this = other;
    }

    // For the log: what went wrong, and the decoder's own words after a colon.
    QString text() const
    {
        const QString what = summary();
        return m_detail.isEmpty() ? what : what + QStringLiteral(": ") + m_detail;
    }

private:
    QString summary() const
    {
        switch (m_kind) {
        case Kind::None:
            return QStringLiteral("no fault");
        case Kind::CutShort:
            return QStringLiteral("cut short");
        case Kind::Damaged:
            return QStringLiteral("damaged");
        case Kind::NotAPicture:
            return QStringLiteral("not a picture");
        case Kind::TooLarge:
            return QStringLiteral("too large");
        case Kind::Unreadable:
            return QStringLiteral("cannot be opened");
        case Kind::ReadError:
            return QStringLiteral("read error");
        case Kind::NoResources:
            return QStringLiteral("out of memory");
        }
        return QString();
    }

    Kind m_kind = Kind::None;
    QString m_detail;
};
