// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/reducedpicturestore.h"

ReducedPictureStore::ReducedPictureStore(std::size_t budgetBytes) : m_budget(budgetBytes) {}

ReducedPictureStore& ReducedPictureStore::shared()
{
    static ReducedPictureStore store;
    return store;
}

std::shared_ptr<const ReducedPicture> ReducedPictureStore::find(const QString& path, const FileStamp& stamp)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_index.constFind(path);
    if (found == m_index.constEnd())
        return nullptr;
    const Recency::iterator entry = found.value();
    if (!(entry->stamp == stamp)) {
        forget(entry);
        return nullptr;
    }
    m_recency.splice(m_recency.begin(), m_recency, entry);
    return entry->picture;
}

void ReducedPictureStore::keep(const QString& path, const FileStamp& stamp, std::shared_ptr<const ReducedPicture> picture)
{
    if (!picture || !stamp.valid())
        return;
    std::lock_guard lock(m_mutex);
    if (const auto found = m_index.constFind(path); found != m_index.constEnd())
        forget(found.value());
    if (picture->bytes() > m_budget)
        return;
    m_bytes += picture->bytes();
    m_recency.push_front(Entry{path, stamp, std::move(picture)});
    m_index.insert(path, m_recency.begin());
    keepWithinBudget();
}

void ReducedPictureStore::clear()
{
    std::lock_guard lock(m_mutex);
    m_recency.clear();
    m_index.clear();
    m_bytes = 0;
}

void ReducedPictureStore::setBudget(std::size_t budgetBytes)
{
    std::lock_guard lock(m_mutex);
    m_budget = budgetBytes;
    keepWithinBudget();
}

std::size_t ReducedPictureStore::budget() const
{
    std::lock_guard lock(m_mutex);
    return m_budget;
}

std::size_t ReducedPictureStore::bytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

void ReducedPictureStore::forget(Recency::iterator entry)
{
    m_bytes -= entry->picture->bytes();
    m_index.remove(entry->path);
    m_recency.erase(entry);
}

void ReducedPictureStore::keepWithinBudget()
{
    while (m_bytes > m_budget && !m_recency.empty())
        forget(std::prev(m_recency.end()));
}
