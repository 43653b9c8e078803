// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The reduced pictures of the photos shown lately, in memory within a budget: the least recently
// used go first. A picture is served only for the file state it was made from. Thread-safe.

#include "platform/files/filestamp.h"
#include "thumbnails/reducedpicture.h"

#include <QHash>
#include <QString>

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>

class ReducedPictureStore {
public:
    static constexpr std::size_t kDefaultBudgetBytes = std::size_t(256) << 20;

    explicit ReducedPictureStore(std::size_t budgetBytes = kDefaultBudgetBytes);
    ReducedPictureStore(const ReducedPictureStore&) = delete;
    ReducedPictureStore& operator=(const ReducedPictureStore&) = delete;

    // The store the photo lists share.
    static ReducedPictureStore& shared();

    std::shared_ptr<const ReducedPicture> find(const QString& path, const FileStamp& stamp);
    void keep(const QString& path, const FileStamp& stamp, std::shared_ptr<const ReducedPicture> picture);
    void clear();
    void setBudget(std::size_t budgetBytes);
    std::size_t budget() const;
    std::size_t bytes() const;

private:
    struct Entry {
        QString path;
        FileStamp stamp;
        std::shared_ptr<const ReducedPicture> picture;
    };
    using Recency = std::list<Entry>; // most recent first

    void forget(Recency::iterator entry);
    void keepWithinBudget();

    mutable std::mutex m_mutex;
    std::size_t m_budget;
    std::size_t m_bytes = 0;
    Recency m_recency;
    QHash<QString, Recency::iterator> m_index;
};
