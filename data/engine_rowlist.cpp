#include "data/engine_rowlist.h"

#include <algorithm>

namespace {
constexpr size_t kChunk = 1024;
}

void TRowList::Clear()
{
    m_chunks.clear();
    m_starts.clear();
    m_size = 0;
    m_chunkOf.clear();
    m_mapped = false;
    m_unmappedLookups = 0;
}

void TRowList::Assign(std::vector<qint64> ids)
{
    Clear();
    m_size = int(ids.size());
    for (size_t start = 0; start < ids.size(); start += kChunk / 2) {
        auto chunk = std::make_unique<Chunk>();
        const size_t end = std::min(ids.size(), start + kChunk / 2);
        chunk->ids.assign(ids.begin() + qsizetype(start), ids.begin() + qsizetype(end));
        m_chunks.push_back(std::move(chunk));
    }
    Renumber(0);
}

void TRowList::Renumber(int from)
{
    m_starts.resize(m_chunks.size());
    int start = from > 0 ? m_starts[from - 1] + int(m_chunks[from - 1]->ids.size()) : 0;
    for (size_t i = size_t(from); i < m_chunks.size(); ++i) {
        m_chunks[i]->order = int(i);
        m_starts[i] = start;
        start += int(m_chunks[i]->ids.size());
    }
}

int TRowList::ChunkOf(int row) const
{
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), row);
    return int(it - m_starts.begin()) - 1;
}

qint64 TRowList::At(int row) const
{
    if (row < 0 || row >= m_size)
        return -1;
    const int c = ChunkOf(row);
    return m_chunks[size_t(c)]->ids[size_t(row - m_starts[size_t(c)])];
}

void TRowList::Insert(int row, qint64 id)
{
    if (m_chunks.empty()) {
        m_chunks.push_back(std::make_unique<Chunk>());
        Renumber(0);
    }
    row = std::clamp(row, 0, m_size);
    int c = row == m_size ? int(m_chunks.size()) - 1 : ChunkOf(row);
    Chunk* chunk = m_chunks[size_t(c)].get();
    chunk->ids.insert(chunk->ids.begin() + (row - m_starts[size_t(c)]), id);
    ++m_size;
    if (m_mapped)
        m_chunkOf.insert(id, chunk);
    if (chunk->ids.size() > kChunk) {
        // Split in two halves; the second half's identifiers move to the new chunk.
        auto second = std::make_unique<Chunk>();
        second->ids.assign(chunk->ids.begin() + kChunk / 2, chunk->ids.end());
        chunk->ids.resize(kChunk / 2);
        if (m_mapped)
            for (qint64 moved : second->ids)
                m_chunkOf.insert(moved, second.get());
        m_chunks.insert(m_chunks.begin() + c + 1, std::move(second));
    }
    Renumber(c);
}

void TRowList::Erase(int row)
{
    if (row < 0 || row >= m_size)
        return;
    const int c = ChunkOf(row);
    Chunk* chunk = m_chunks[size_t(c)].get();
    const auto at = chunk->ids.begin() + (row - m_starts[size_t(c)]);
    if (m_mapped)
        m_chunkOf.remove(*at);
    chunk->ids.erase(at);
    --m_size;
    if (chunk->ids.empty() && m_chunks.size() > 1)
        m_chunks.erase(m_chunks.begin() + c);
    Renumber(std::max(0, std::min(c, int(m_chunks.size()) - 1)));
}

void TRowList::BuildMap()
{
    m_chunkOf.clear();
    m_chunkOf.reserve(m_size);
    for (auto& chunk : m_chunks)
        for (qint64 id : chunk->ids)
            m_chunkOf.insert(id, chunk.get());
    m_mapped = true;
}

int TRowList::IndexOf(qint64 id)
{
    if (!m_mapped) {
        // A few look-ups scan; more build the map once.
        if (++m_unmappedLookups <= 4) {
            for (auto& chunk : m_chunks) {
                const auto it = std::find(chunk->ids.begin(), chunk->ids.end(), id);
                if (it != chunk->ids.end())
                    return m_starts[size_t(chunk->order)] + int(it - chunk->ids.begin());
            }
            return -1;
        }
        BuildMap();
    }
    Chunk* chunk = m_chunkOf.value(id, nullptr);
    if (!chunk)
        return -1;
    const auto it = std::find(chunk->ids.begin(), chunk->ids.end(), id);
    return it == chunk->ids.end() ? -1 : m_starts[size_t(chunk->order)] + int(it - chunk->ids.begin());
}

int TRowList::LowerBound(qint64 id) const
{
    int low = 0;
    int high = m_size;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (At(mid) < id)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}
