// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Lays out one film as RIFF AVI: the header list, the `movi` list of frame chunks and the `idx1`
// index. Past the RIFF size limit the film continues in OpenDML `RIFF AVIX` segments, each with
// an `ix00` standard index, and the super index reserved as JUNK in the header becomes `indx`.
// The header is written with the first frame (or at finish), so the track is fixed by then.
// Only the index entries of the current segment are kept in memory.

#include "platform/avifile/aviformat.h"
#include "platform/avifile/avifile.h"
#include "platform/avifile/riffwriter.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace avifile {

class FilmFile;

// One video track: its stream header as the stream gives it (fccHandler and rate included) and
// its `strf` format (BITMAPINFOHEADER and any colour table).
struct AviTrack {
    AVISTREAMINFOA info{};
    std::vector<std::uint8_t> format;
};

struct AviMuxerLimits {
    std::uint64_t maxRiffBytes = AVI_MAX_RIFF_SIZE;
    DWORD superIndexEntries = AVI_MASTER_INDEX_SIZE;
};

class AviMuxer {
public:
    explicit AviMuxer(FilmFile& file, AviMuxerLimits limits = {});

    // Before the first frame only; the format must hold at least a BITMAPINFOHEADER.
    HRESULT setTrack(const AviTrack& track);
    bool hasTrack() const { return m_track.has_value(); }
    HRESULT writeFrame(const void* data, std::size_t bytes, bool keyFrame);
    // Writes the indexes and completes the headers; the file is then ready to be committed.
    HRESULT finish();

    std::uint32_t frameCount() const { return m_frames; }
    std::uint32_t segmentCount() const { return m_riffCount; }

private:
    struct IndexEntry {
        std::uint64_t chunkOffset;
        std::uint32_t size;
        bool keyFrame;
    };
    struct SuperIndexEntry {
        std::uint64_t offset;
        std::uint32_t size;
        std::uint32_t duration;
    };
    // Offsets of header fields known only when the film is complete.
    struct PendingFields {
        std::uint64_t avihMaxBytesPerSec = 0;
        std::uint64_t avihTotalFrames = 0;
        std::uint64_t avihSuggestedBufferSize = 0;
        std::uint64_t strhLength = 0;
        std::uint64_t strhSuggestedBufferSize = 0;
        std::uint64_t superIndex = 0;
        std::uint64_t dmlhTotalFrames = 0;
    };

    HRESULT writeHeader();
    void writeMainHeader();
    void writeStreamList();
    void writeStreamHeader();
    void writeStreamName();
    void reserveSuperIndex();
    void writeOdmlList();
    void startSegment(DWORD formType);
    HRESULT endSegment(bool openDml);
    void writeStandardIndex();
    void writeLegacyIndex();
    void completeHeader(bool openDml);
    void writeSuperIndex();
    bool segmentFull(std::size_t payloadBytes) const;
    std::uint32_t suggestedBufferSize() const;
    std::uint32_t maxBytesPerSecond() const;
    std::uint64_t moviBase() const { return m_moviStart + 8; }

    RiffWriter m_out;
    AviMuxerLimits m_limits;
    std::optional<AviTrack> m_track;
    DWORD m_chunkId = ckidCOMPRESSED00;
    bool m_headerWritten = false;
    bool m_finished = false;
    HRESULT m_finishResult = AVIERR_OK;
    PendingFields m_pending;
    std::uint64_t m_riffStart = 0;
    std::uint64_t m_moviStart = 0;
    std::uint32_t m_riffCount = 0;
    std::uint32_t m_frames = 0;
    std::uint32_t m_firstRiffFrames = 0;
    std::uint32_t m_largestChunk = 0;
    std::vector<IndexEntry> m_segmentIndex;
    std::vector<SuperIndexEntry> m_superIndex;
};

} // namespace avifile
