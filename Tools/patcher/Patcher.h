#pragma once
// The start-up update: the parameters are loaded; then either the program
// is replaced by the content server's newer one (downloaded beside it as
// PROGRAM.ptch, checked against its signature and started; that update
// process waits for this one to end, replaces the program and starts it),
// or the avatar movies are brought to the announced version, and the splash
// hears WM_GLM_PATCH_DONE.
//
// Every downloaded program and movie must carry a detached Ed25519
// signature (".sig" beside it on the server) by a trusted key: the release
// key built into the program, or the content server's key named by the
// local GLM_CONTENT_SIGNING_KEY_FILE. A file that fails is deleted, logged
// and never used; start-up goes on with what is installed.

#include "Tools/ApplicationParameters.h"
#include "Tools/patcher/PatchDownloadObserver.h"
#include "Tools/patcher/PatcherLocations.h"
#include "Tools/patcher/SignatureVerifier.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace UI {
class MessageTarget;
}
namespace Web {
class HttpConnection;
}

namespace Glm {

class GetRemoteFileThread;
class MovieVersionReader;

class Patcher {
public:
    /// builtInVersion is the version this program is ("V1.0.4.34");
    /// movieReader (may be null: every present movie then counts as
    /// current) must outlive the patcher.
    Patcher(PatcherLocations locations, MovieVersionReader* movieReader, std::string builtInVersion);
    /// Stops a download under way and waits for its thread.
    ~Patcher();
    Patcher(const Patcher&) = delete;
    Patcher& operator=(const Patcher&) = delete;

    /// The whole start-up check, reporting to target (which must stay valid
    /// until a download started here has ended). Never throws.
    void Patch(UI::MessageTarget& target);

    /// Fills the table: defaults, local file, remote patcher.ver, local file
    /// again. False (logged) when patcher.ver could not be retrieved.
    bool Init();
    /// True when the server announces another version than this program's.
    bool IsExeOutOfDate() const;
    /// Starts the program download from baseAddress (the patch folder) on
    /// the download thread. False, logged, when the update cannot be had
    /// (no signature, bad address); start-up should then go on.
    bool GetPatchFromAndReportProgressTo(const std::string& baseAddress);
    /// True when the movie is missing or answers another version than
    /// GLM_SWF_VERSION.
    bool ShouldGetSWFPatch(const std::string& movieName);
    /// Downloads the movie and its signature; the movie file is replaced
    /// only by a verified download.
    void GetSWFPatch(const std::string& movieName);
    /// The version the movie file answers; empty when it cannot be read
    /// (such a movie counts as current).
    std::optional<std::string> GetSWFVersion(const std::string& movieName);
    /// Deletes a left-over update, once its process (if any) has ended.
    void DeleteOldPatch();
    /// Deletes the avatar and congratulation movies, which the new program
    /// brings along in its resources.
    void DeleteOldSWFFiles();
    /// In the update process: waits for the program to end, then replaces
    /// it with the update atomically (old or new whole at every moment),
    /// keeping its mode bits.
    void CopyPatchFileIntoExeFile();
    /// Starts the program at path without arguments and does not wait; a
    /// failure is logged and gives false.
    bool ForkOutProcess(const std::string& path);

    /// Aborts a download under way and waits for its thread.
    void ShutDown();
    /// Waits for a download under way to end by itself.
    void WaitForDownload();

    /// The trusted keys: the built-in release key and the content server's
    /// key from the table (absent keys are logged once).
    SignatureVerifier MakeVerifier();
    /// Fetches objectName + ".sig" from the content server over connection.
    /// Throws what the transport throws.
    static std::string FetchSignature(Web::HttpConnection& connection, const std::string& address);

    ApplicationParameters& GetParameters() { return m_parameters; }
    const ApplicationParameters& GetParametersConst() const { return m_parameters; }
    const std::string& GetBuiltInVersion() const { return m_builtInVersion; }
    const PatcherLocations& GetLocations() const { return m_locations; }
    /// The path of a movie file.
    std::string MoviePath(const std::string& movieName) const;

private:
    friend class PatchDownloadObserver;
    // The download thread's end of the program download.
    void OnProgramDownloaded();
    void OnProgramDownloadProgress(unsigned percent);
    void PostToTarget(std::uint32_t message, std::uintptr_t wParam = 0);
    void PatchMovies();

    ApplicationParameters m_parameters;
    // Set by Patch before a download thread starts, read by that thread.
    UI::MessageTarget* m_target = nullptr;
    std::unique_ptr<Web::HttpConnection> m_connection;
    std::unique_ptr<GetRemoteFileThread> m_downloadThread;
    PatcherLocations m_locations;
    PatchDownloadObserver m_observer{*this};
    MovieVersionReader* m_movieReader;
    const std::string m_builtInVersion;
    std::string m_expectedSignature; // of the program being downloaded
    SignatureVerifier m_verifier;    // its trusted keys
    bool m_contentKeyMissingLogged = false;
};

} // namespace Glm
