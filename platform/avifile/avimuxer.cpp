// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avimuxer.h"

#include <algorithm>
#include <cstring>

namespace avifile {

namespace {

BITMAPINFOHEADER headerOf(const AviTrack& track)
{
    BITMAPINFOHEADER header{};
    std::memcpy(&header, track.format.data(), sizeof header);
    return header;
}

std::uint32_t clampToDword(std::uint64_t value)
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFFFFFFu));
}

} // namespace

AviMuxer::AviMuxer(FilmFile& file, AviMuxerLimits limits) : m_out(file), m_limits(limits) {}

HRESULT AviMuxer::setTrack(const AviTrack& track)
{
    if (m_headerWritten || m_finished)
        return AVIERR_UNSUPPORTED;
    if (track.format.size() < sizeof(BITMAPINFOHEADER) || track.format.size() > AVI_MAX_CHUNK_PAYLOAD)
        return AVIERR_BADFORMAT;
    m_track = track;
    m_chunkId = headerOf(track).biCompression == BI_RGB ? ckidUNCOMPRESSED00 : ckidCOMPRESSED00;
    return AVIERR_OK;
}

HRESULT AviMuxer::writeFrame(const void* data, std::size_t bytes, bool keyFrame)
{
    if (m_finished)
        return AVIERR_UNSUPPORTED;
    if (!m_track)
        return AVIERR_BADFORMAT;
    if (bytes > AVI_MAX_CHUNK_PAYLOAD || (bytes > 0 && data == nullptr))
        return AVIERR_BADPARAM;
    HRESULT result = m_out.status();
    if (result == AVIERR_OK && !m_headerWritten)
        result = writeHeader();
    if (result != AVIERR_OK)
        return result;
    if (segmentFull(bytes)) {
        if (m_superIndex.size() + 2 > m_limits.superIndexEntries)
            return AVIERR_BADSIZE;
        if ((result = endSegment(true)) != AVIERR_OK)
            return result;
        startSegment(formtypeAVIX);
    }
    std::uint64_t chunkOffset = m_out.tell();
    if ((result = m_out.writeChunk(m_chunkId, data, static_cast<std::uint32_t>(bytes))) != AVIERR_OK)
        return result;
    m_segmentIndex.push_back({chunkOffset, static_cast<std::uint32_t>(bytes), keyFrame});
    ++m_frames;
    if (m_riffCount == 1)
        ++m_firstRiffFrames;
    m_largestChunk = std::max(m_largestChunk, static_cast<std::uint32_t>(bytes));
    return AVIERR_OK;
}

HRESULT AviMuxer::finish()
{
    if (m_finished)
        return m_finishResult;
    m_finished = true;
    HRESULT result = m_out.status();
    if (result == AVIERR_OK && !m_headerWritten)
        result = writeHeader();
    bool openDml = m_riffCount > 1;
    if (result == AVIERR_OK)
        result = endSegment(openDml);
    if (result == AVIERR_OK) {
        completeHeader(openDml);
        result = m_out.flush();
    }
    m_finishResult = result;
    return result;
}

HRESULT AviMuxer::writeHeader()
{
    m_headerWritten = true;
    m_riffStart = m_out.startList(ckidRIFF, formtypeAVI);
    ++m_riffCount;
    std::uint64_t headerList = m_out.startList(ckidLIST, listtypeAVIHEADER);
    writeMainHeader();
    if (m_track)
        writeStreamList();
    writeOdmlList();
    m_out.endChunk(headerList);
    m_moviStart = m_out.startList(ckidLIST, listtypeAVIMOVIE);
    return m_out.flush();
}

void AviMuxer::writeMainHeader()
{
    std::uint32_t microSecPerFrame = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (m_track) {
        const AVISTREAMINFOA& info = m_track->info;
        if (info.dwRate != 0)
            microSecPerFrame = clampToDword((1000000ull * info.dwScale + info.dwRate / 2) / info.dwRate);
        BITMAPINFOHEADER format = headerOf(*m_track);
        width = format.biWidth;
        height = format.biHeight < 0 ? -std::int64_t(format.biHeight) : format.biHeight;
    }
    std::uint64_t chunk = m_out.startChunk(ckidAVIMAINHDR);
    m_out.putLe32(microSecPerFrame); /* dwMicroSecPerFrame */
    m_pending.avihMaxBytesPerSec = m_out.tell();
    m_out.putLe32(0); /* dwMaxBytesPerSec */
    m_out.putLe32(0); /* dwPaddingGranularity */
    m_out.putLe32(AVIF_HASINDEX | AVIF_ISINTERLEAVED); /* dwFlags */
    m_pending.avihTotalFrames = m_out.tell();
    m_out.putLe32(0); /* dwTotalFrames */
    m_out.putLe32(0); /* dwInitialFrames */
    m_out.putLe32(m_track ? 1 : 0); /* dwStreams */
    m_pending.avihSuggestedBufferSize = m_out.tell();
    m_out.putLe32(0); /* dwSuggestedBufferSize */
    m_out.putLe32(clampToDword(static_cast<std::uint64_t>(width))); /* dwWidth */
    m_out.putLe32(clampToDword(static_cast<std::uint64_t>(height))); /* dwHeight */
    m_out.putZeros(16); /* dwReserved[4] */
    m_out.endChunk(chunk);
}

void AviMuxer::writeStreamList()
{
    std::uint64_t streamList = m_out.startList(ckidLIST, listtypeSTREAMHEADER);
    writeStreamHeader();
    std::uint64_t format = m_out.startChunk(ckidSTREAMFORMAT);
    m_out.putBytes(m_track->format.data(), m_track->format.size()); /* BITMAPINFOHEADER, colours */
    m_out.endChunk(format);
    writeStreamName();
    reserveSuperIndex();
    m_out.endChunk(streamList);
}

void AviMuxer::writeStreamHeader()
{
    const AVISTREAMINFOA& info = m_track->info;
    std::uint64_t chunk = m_out.startChunk(ckidSTREAMHEADER);
    m_out.putFourCC(info.fccType); /* fccType */
    m_out.putFourCC(info.fccHandler); /* fccHandler */
    m_out.putLe32(info.dwFlags); /* dwFlags */
    m_out.putLe16(info.wPriority); /* wPriority */
    m_out.putLe16(info.wLanguage); /* wLanguage */
    m_out.putLe32(info.dwInitialFrames); /* dwInitialFrames */
    m_out.putLe32(info.dwScale); /* dwScale */
    m_out.putLe32(info.dwRate); /* dwRate */
    m_out.putLe32(info.dwStart); /* dwStart */
    m_pending.strhLength = m_out.tell();
    m_out.putLe32(0); /* dwLength */
    m_pending.strhSuggestedBufferSize = m_out.tell();
    m_out.putLe32(info.dwSuggestedBufferSize); /* dwSuggestedBufferSize */
    m_out.putLe32(info.dwQuality); /* dwQuality */
    m_out.putLe32(info.dwSampleSize); /* dwSampleSize */
    m_out.putLe16(static_cast<std::uint16_t>(info.rcFrame.left)); /* rcFrame.left */
    m_out.putLe16(static_cast<std::uint16_t>(info.rcFrame.top)); /* rcFrame.top */
    m_out.putLe16(static_cast<std::uint16_t>(info.rcFrame.right)); /* rcFrame.right */
    m_out.putLe16(static_cast<std::uint16_t>(info.rcFrame.bottom)); /* rcFrame.bottom */
    m_out.endChunk(chunk);
}

void AviMuxer::writeStreamName()
{
    const char* name = m_track->info.szName;
    std::size_t length = strnlen(name, sizeof m_track->info.szName);
    if (length == 0)
        return;
    std::uint64_t chunk = m_out.startChunk(ckidSTREAMNAME);
    m_out.putBytes(name, length);
    m_out.putByte(0);
    m_out.endChunk(chunk);
}

// The super index is laid out now as JUNK, so that a film that stays within one RIFF remains
// a plain AVI file; it becomes `indx` if the film grows into AVIX segments.
void AviMuxer::reserveSuperIndex()
{
    m_pending.superIndex = m_out.startChunk(ckidJUNK);
    m_out.putLe16(4); /* wLongsPerEntry */
    m_out.putByte(0); /* bIndexSubType */
    m_out.putByte(AVI_INDEX_OF_INDEXES); /* bIndexType */
    m_out.putLe32(0); /* nEntriesInUse */
    m_out.putFourCC(m_chunkId); /* dwChunkId */
    m_out.putZeros(12); /* dwReserved[3] */
    m_out.putZeros(std::size_t(m_limits.superIndexEntries) * AVI_SUPERINDEX_ENTRY_SIZE); /* aIndex */
    m_out.endChunk(m_pending.superIndex);
}

void AviMuxer::writeOdmlList()
{
    std::uint64_t odmlList = m_out.startList(ckidLIST, listtypeODML);
    std::uint64_t chunk = m_out.startChunk(ckidODMLHEADER);
    m_pending.dmlhTotalFrames = m_out.tell();
    m_out.putLe32(0); /* dwTotalFrames */
    m_out.putZeros(AVI_ODMLHEADER_SIZE - 4); /* dwFuture[61] */
    m_out.endChunk(chunk);
    m_out.endChunk(odmlList);
}

void AviMuxer::startSegment(DWORD formType)
{
    m_riffStart = m_out.startList(ckidRIFF, formType);
    ++m_riffCount;
    m_moviStart = m_out.startList(ckidLIST, listtypeAVIMOVIE);
}

HRESULT AviMuxer::endSegment(bool openDml)
{
    if (openDml && m_track)
        writeStandardIndex();
    m_out.endChunk(m_moviStart);
    if (m_riffCount == 1)
        writeLegacyIndex();
    m_out.endChunk(m_riffStart);
    m_segmentIndex.clear();
    return m_out.flush();
}

void AviMuxer::writeStandardIndex()
{
    std::uint64_t chunk = m_out.startChunk(ckidSTANDARDINDEX00);
    m_out.putLe16(2); /* wLongsPerEntry */
    m_out.putByte(0); /* bIndexSubType */
    m_out.putByte(AVI_INDEX_OF_CHUNKS); /* bIndexType */
    m_out.putLe32(static_cast<std::uint32_t>(m_segmentIndex.size())); /* nEntriesInUse */
    m_out.putFourCC(m_chunkId); /* dwChunkId */
    m_out.putLe64(moviBase()); /* qwBaseOffset */
    m_out.putLe32(0); /* dwReserved */
    for (const IndexEntry& entry : m_segmentIndex) {
        m_out.putLe32(static_cast<std::uint32_t>(entry.chunkOffset + 8 - moviBase())); /* dwOffset */
        m_out.putLe32(entry.size | (entry.keyFrame ? 0 : AVI_INDEX_DELTAFRAME)); /* dwSize */
    }
    m_out.endChunk(chunk);
    m_superIndex.push_back({chunk, static_cast<std::uint32_t>(m_out.tell() - chunk),
                            static_cast<std::uint32_t>(m_segmentIndex.size())});
}

void AviMuxer::writeLegacyIndex()
{
    std::uint64_t chunk = m_out.startChunk(ckidAVINEWINDEX);
    for (const IndexEntry& entry : m_segmentIndex) {
        m_out.putFourCC(m_chunkId); /* ckid */
        m_out.putLe32(entry.keyFrame ? AVIIF_INDEX_KEYFRAME : 0); /* dwFlags */
        m_out.putLe32(static_cast<std::uint32_t>(entry.chunkOffset - moviBase())); /* dwChunkOffset */
        m_out.putLe32(entry.size); /* dwChunkLength */
    }
    m_out.endChunk(chunk);
}

void AviMuxer::completeHeader(bool openDml)
{
    m_out.patchLe32(m_pending.avihMaxBytesPerSec, maxBytesPerSecond());
    m_out.patchLe32(m_pending.avihTotalFrames, m_firstRiffFrames);
    m_out.patchLe32(m_pending.avihSuggestedBufferSize, suggestedBufferSize());
    m_out.patchLe32(m_pending.dmlhTotalFrames, m_frames);
    if (!m_track)
        return;
    m_out.patchLe32(m_pending.strhLength, m_frames);
    m_out.patchLe32(m_pending.strhSuggestedBufferSize, suggestedBufferSize());
    if (openDml)
        writeSuperIndex();
}

void AviMuxer::writeSuperIndex()
{
    std::uint64_t body = m_pending.superIndex + 8;
    m_out.patchFourCC(m_pending.superIndex, ckidSUPERINDEX);
    m_out.patchLe32(body + 4, static_cast<std::uint32_t>(m_superIndex.size())); /* nEntriesInUse */
    std::uint64_t entryAt = body + AVI_INDEX_HEADER_SIZE;
    for (const SuperIndexEntry& entry : m_superIndex) {
        m_out.patchLe64(entryAt, entry.offset); /* qwOffset */
        m_out.patchLe32(entryAt + 8, entry.size); /* dwSize */
        m_out.patchLe32(entryAt + 12, entry.duration); /* dwDuration */
        entryAt += AVI_SUPERINDEX_ENTRY_SIZE;
    }
}

bool AviMuxer::segmentFull(std::size_t payloadBytes) const
{
    if (m_segmentIndex.empty())
        return false;
    std::uint64_t chunkBytes = 8 + payloadBytes + (payloadBytes & 1);
    return m_out.tell() - m_riffStart + chunkBytes > m_limits.maxRiffBytes;
}

std::uint32_t AviMuxer::suggestedBufferSize() const
{
    DWORD requested = m_track ? m_track->info.dwSuggestedBufferSize : 0;
    return std::max(requested, m_largestChunk);
}

std::uint32_t AviMuxer::maxBytesPerSecond() const
{
    if (!m_track || m_track->info.dwScale == 0)
        return 0;
    return clampToDword(std::uint64_t(m_largestChunk) * m_track->info.dwRate / m_track->info.dwScale);
}

} // namespace avifile
