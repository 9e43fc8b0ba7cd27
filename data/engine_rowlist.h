#pragma once

#include <QHash>

#include <memory>
#include <vector>

// The ordered row identifiers of a table data set. Kept in chunks of at most 1024, so a post
// that lands in the middle of 100,000 rows moves a few kilobytes, not the whole list, and a
// row's position is found from its chunk instead of by scanning everything. The map from
// identifier to chunk is built on first use and then kept up to date.
class TRowList
{
public:
    void Assign(std::vector<qint64> ids);
    void Clear();
    int Size() const { return m_size; }
    qint64 At(int row) const;
    void Insert(int row, qint64 id);
    void Erase(int row);
    // Position of an identifier, -1 when absent.
    int IndexOf(qint64 id);
    // For lists in identifier order: where id belongs.
    int LowerBound(qint64 id) const;

private:
    struct Chunk
    {
        std::vector<qint64> ids;
        int order = 0;  // index in m_chunks
    };
    int ChunkOf(int row) const;  // chunk index holding the row (row < size), or the last
    void Renumber(int from);
    void BuildMap();

    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::vector<int> m_starts;  // first row of each chunk
    int m_size = 0;
    QHash<qint64, Chunk*> m_chunkOf;
    bool m_mapped = false;
    int m_unmappedLookups = 0;
};
