#pragma once
// Handing a handheld game's Glint Points to a Fairy so that no point is ever
// credited twice. The service credits the points before the toy is cleared;
// when the clear fails (the toy was unplugged, say) the points stay on the
// toy, and a plain second attempt would credit them again. A small journal
// in the application's data directory remembers, across runs, the points
// the service has taken and the toy still carries: written to disk before
// the upload, settled once the toy is cleared. The next attempt with that
// toy and that count clears the toy without uploading.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Glm {

class Toy;
class WebApi;

/// Points of one toy on their way to the service.
struct PointsRecord {
    enum State : std::int32_t {
        /// Written before the upload; the answer has not been seen.
        Sending = 0,
        /// The service took the points; the toy still carries them.
        Accepted = 1,
    };
    std::uint32_t clickId = 0;
    std::int32_t points = 0;
    /// The Fairy the points went to.
    std::string fairyId;
    State state = Sending;
};

/// The journal file: one record per toy. Every change is written to a new
/// file, flushed to disk and renamed over the old one, so a crash leaves
/// either the old or the new journal, never a mixture.
class PointsJournal {
public:
    static constexpr const char* kFileName = "glintpoints.journal";

    /// The journal in directory (created when missing on the first write).
    explicit PointsJournal(const std::string& directory);

    const std::string& GetPath() const { return m_path; }
    /// The record of the toy with clickId. A damaged line is logged, left
    /// out, and the damaged journal copied beside it (".damaged") before the
    /// next write replaces it.
    std::optional<PointsRecord> Find(std::uint32_t clickId) const;
    /// Adds or replaces the toy's record, durably. False (logged) when the
    /// journal cannot be written.
    bool Put(const PointsRecord& record);
    /// Removes the toy's record, durably. True when none is left.
    bool Settle(std::uint32_t clickId);

private:
    std::vector<PointsRecord> Load() const;
    bool Save(const std::vector<PointsRecord>& records);

    std::string m_directory;
    std::string m_path;
};

/// What GivePoints did, for the point screens.
struct PointsHandOver {
    enum Outcome {
        /// The points are the Fairy's and the toy reads 0 (congratulation).
        Given,
        /// No toy present (string 153); nothing was done.
        NoToy,
        /// The toy holds no points (string 160); nothing was done.
        NothingToGive,
        /// The service refused or could not be reached; the points stay on
        /// the toy and nothing is credited (the confirmation stays open).
        UploadFailed,
        /// The service holds the points but clearing the toy failed (string
        /// 182); the journal keeps them, so the next attempt only clears.
        ClearFailed,
    };
    Outcome outcome = NoToy;
    /// The points the toy held (what the congratulation shows).
    std::int32_t points = 0;
    /// Whether this attempt sent them to the service (false when an earlier
    /// attempt had).
    bool uploaded = false;
    /// The Fairy credited: the chosen one, or the one of the earlier attempt
    /// when that attempt's points are being cleared now.
    std::string creditedFairyId;
    /// The service's code when it refused.
    std::string errorCode;
    /// The device result of a failed clear.
    std::int32_t deviceResult = 0;
};

/// The confirmation's OK: gives the toy's points (as last read) to fairyId
/// and clears them on the toy, only after the service took them, keeping
/// journal in step. A journal that cannot be written is logged and the
/// hand-over goes on, as it would without one.
PointsHandOver GivePoints(WebApi& api, Toy& toy, const std::string& fairyId, PointsJournal& journal);

} // namespace Glm
