#include "Tools/patcher/Patcher.h"

#include "ReleaseSigningKey.h"
#include "Tools/patcher/GetRemoteFileThread.h"
#include "Tools/patcher/MovieVersionReader.h"
#include "Tools/patcher/PatcherFiles.h"
#include "Tools/patcher/WaitForProcessExit.h"
#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"
#include "common/Process/Process.h"
#include "common/UI/MessageTarget.h"
#include "common/UI/Messages.h"
#include "common/Web/AgentName.h"
#include "common/Web/HttpConnection.h"
#include "common/Web/HttpExceptions.h"
#include "common/Web/RandomToken.h"
#include "common/Web/Url.h"
#include "common/Win32/Files.h"

#include <exception>
#include <sys/stat.h>
#include <unistd.h>

namespace Glm {

namespace {

constexpr const char* kContentKeyParameter = "GLM_CONTENT_SIGNING_KEY_FILE";
constexpr const char* kCongratulationMovies[] = {"bracelet_congrats.swf", "jewelry_box_congrats.swf"};

void Log(const std::string& text) {
    Ex::GetLogger()->Log(text);
}

// Runs step, logging what it throws under context; false when it threw.
template <class Step>
bool Guarded(const char* context, Step step) {
    try {
        step();
        return true;
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow(context);
    } catch (const std::exception& caught) {
        Ex::StlException(caught).LogNoThrow(context);
    }
    return false;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Reports nothing: movies are fetched without progress figures.
class SilentObserver : public Web::DownloadObserver {
public:
    void OnProgress(void*, unsigned) override {}
    void OnComplete(void*) override {}
    void OnError(void*, const std::string&) override {}
};

} // namespace

Patcher::Patcher(PatcherLocations locations, MovieVersionReader* movieReader, std::string builtInVersion)
    : m_locations(std::move(locations)), m_movieReader(movieReader),
      m_builtInVersion(std::move(builtInVersion)) {}

Patcher::~Patcher() {
    ShutDown();
}

void Patcher::ShutDown() {
    if (m_connection) {
        m_connection->ShutDown();
    }
    if (m_downloadThread) {
        m_downloadThread->Wait();
    }
}

void Patcher::WaitForDownload() {
    if (m_downloadThread) {
        m_downloadThread->Wait();
    }
}

void Patcher::PostToTarget(std::uint32_t message, std::uintptr_t wParam) {
    if (m_target != nullptr) {
        // Posted, never sent: the interface thread may be waiting for this
        // thread while it hands over its target.
        m_target->Post(message, wParam);
    }
}

void Patcher::Patch(UI::MessageTarget& target) {
    m_target = &target;
    if (!Init()) {
        PostToTarget(UI::WM_GLM_START_ERROR);
        return;
    }
    if (m_locations.runningPath == m_locations.executablePath) {
        DeleteOldPatch();
        if (IsExeOutOfDate()) {
            if (!m_locations.programDirectoryWritable) {
                Log("Version " + m_parameters.Get("PATCHER_VERSION_STRING_SERVER") +
                    " is available; this installation is updated by its package manager, so " +
                    m_locations.executablePath + " is left as it is.");
            } else if (GetPatchFromAndReportProgressTo(m_parameters.Get("GLM_PATCHER_BASE_URL"))) {
                return; // the download thread finishes the job
            }
        }
        PatchMovies();
        PostToTarget(UI::WM_GLM_PATCH_DONE);
    } else if (m_locations.runningPath == m_locations.patchPath) {
        bool copied = false;
        Guarded("Glm::Patcher::CopyPatchFileIntoExeFile", [&] {
            CopyPatchFileIntoExeFile();
            copied = true;
        });
        if (copied) {
            Log("Replaced " + m_locations.executablePath + " with the update");
        }
        ForkOutProcess(m_locations.executablePath);
        PostToTarget(UI::WM_CLOSE);
    }
}

void Patcher::PatchMovies() {
    for (const char* key : {"SWF_AVATAR_AND_BUTTERFLY", "SWF_AVATAR_FULL"}) {
        const std::string movie = m_parameters.Get(key);
        if (ShouldGetSWFPatch(movie)) {
            GetSWFPatch(movie);
        }
    }
}

bool Patcher::Init() {
    Guarded("Glm::Patcher::Init", [&] { m_parameters.SetDefaults(); });
    Guarded("Glm::Patcher::Init", [&] { m_parameters.LoadFromFile(m_locations.localParametersFile); });
    bool retrieved = true;
    try {
        m_parameters.LoadRemoteParameters(m_parameters.RemoteParametersAddress());
    } catch (Web::HttpShutDownException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Patcher::Init");
        retrieved = false;
    } catch (Web::CantRetrieveResourceException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Patcher::Init");
        retrieved = false;
    } catch (Ex::NonFatalException& e) {
        // Anything else costs only the remote values.
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Patcher::Init");
    } catch (const std::exception& caught) {
        Ex::StlException(caught).LogNoThrow("Glm::Patcher::Init");
    }
    // Local settings win over remote ones.
    Guarded("Glm::Patcher::Init", [&] { m_parameters.LoadFromFile(m_locations.localParametersFile); });
    return retrieved;
}

bool Patcher::IsExeOutOfDate() const {
    return m_parameters.Get("PATCHER_VERSION_STRING_SERVER") != m_builtInVersion;
}

std::string Patcher::MoviePath(const std::string& movieName) const {
    // The names come from the parameters, which the content server may set:
    // a name must stay inside the movie directory.
    if (movieName.empty() || movieName.find('/') != std::string::npos || movieName.front() == '.') {
        throw Ex::Precondition("movie name '" + movieName + "' is a plain file name", EX_FRAME);
    }
    return m_locations.movieDirectory + "/" + movieName;
}

SignatureVerifier Patcher::MakeVerifier() {
    SignatureVerifier verifier;
    std::string why;
    if (!verifier.AddPublicKeyPem(kReleaseSigningKeyPem, why)) {
        Log("The built-in release signing key is unusable: " + why);
    }
    const std::string contentKey = m_parameters.Get(kContentKeyParameter);
    if (!contentKey.empty() && !verifier.AddPublicKeyFile(contentKey, why) && !m_contentKeyMissingLogged) {
        m_contentKeyMissingLogged = true;
        Log("The content server's signing key is not trusted: " + why);
    }
    return verifier;
}

std::string Patcher::FetchSignature(Web::HttpConnection& connection, const std::string& address) {
    const Web::Url url(address);
    return connection.DoGet(url.GetObjectName(), Web::Text)->GetResponseBodyAsString();
}

bool Patcher::GetPatchFromAndReportProgressTo(const std::string& baseAddress) {
    return Guarded("Glm::Patcher::GetPatchFromAndReportProgressTo", [&] {
        const std::string name = m_parameters.Get("DOWNLOAD_PATCHER_CURRENT_VERSION");
        const Web::Url url(baseAddress + name + "?" + Web::MakeRandomToken());
        ShutDown();
        m_downloadThread.reset();
        m_connection = std::make_unique<Web::HttpConnection>(Web::DefaultAgentName(), url);
        // The signature first: without one the program is not worth fetching.
        try {
            m_expectedSignature =
                FetchSignature(*m_connection, baseAddress + name + ".sig?" + Web::MakeRandomToken());
        } catch (Ex::Exception& e) {
            Log("Refused the update " + name + ": no signature could be fetched");
            throw;
        }
        m_verifier = MakeVerifier();
        DeleteOldPatch();
        DeleteOldSWFFiles();
        Log("Downloading " + name + " (version " + m_parameters.Get("PATCHER_VERSION_STRING_SERVER") +
            ") to " + m_locations.patchPath);
        m_downloadThread = std::make_unique<GetRemoteFileThread>(*m_connection, url.GetObjectName(),
                                                                 std::vector<Web::ResourceType>{Web::Text},
                                                                 m_locations.patchPath, m_observer);
        m_downloadThread->Start();
    });
}

void Patcher::OnProgramDownloadProgress(unsigned percent) {
    PostToTarget(UI::WM_GLM_PATCH_PROGRESS, percent);
}

void Patcher::OnProgramDownloaded() {
    const std::string& patch = m_locations.patchPath;
    std::string why;
    if (!m_verifier.VerifyFile(patch, m_expectedSignature, why)) {
        Log("Refused the update " + patch + ": " + why + "; it is deleted and not started");
        Guarded("Glm::Patcher::OnProgramDownloaded", [&] { DeleteFileIfPresent(patch); });
        PostToTarget(UI::WM_GLM_PATCH_DONE);
        return;
    }
    // Runnable like the program it replaces (the download was made 0644).
    const unsigned mode = ModeBitsOf(m_locations.executablePath, 0755) | 0100U;
    if (::chmod(patch.c_str(), static_cast<mode_t>(mode)) != 0 || !ForkOutProcess(patch)) {
        Log("The update " + patch + " could not be started; it is deleted");
        Guarded("Glm::Patcher::OnProgramDownloaded", [&] { DeleteFileIfPresent(patch); });
        PostToTarget(UI::WM_GLM_PATCH_DONE);
        return;
    }
    Log("Started the update " + patch);
    PostToTarget(UI::WM_CLOSE);
}

bool Patcher::ShouldGetSWFPatch(const std::string& movieName) {
    bool should = false;
    Guarded("Glm::Patcher::ShouldGetSWFPatch", [&] {
        if (!FileExists(MoviePath(movieName))) {
            should = true;
            return;
        }
        const std::string expected = m_parameters.Get("GLM_SWF_VERSION");
        const std::optional<std::string> version = GetSWFVersion(movieName);
        if (version && *version != expected) {
            Log("Patching " + movieName + " to version " + expected);
            should = true;
        }
    });
    return should;
}

std::optional<std::string> Patcher::GetSWFVersion(const std::string& movieName) {
    std::optional<std::string> version;
    Guarded("Glm::Patcher::GetSWFVersion", [&] {
        if (m_movieReader != nullptr) {
            version = m_movieReader->ReadVersion(MoviePath(movieName));
        }
    });
    return version;
}

void Patcher::GetSWFPatch(const std::string& movieName) {
    Guarded("Glm::Patcher::GetSWFPatch", [&] {
        const std::string path = MoviePath(movieName);
        const std::string download = path + ".download";
        DeleteFileIfPresent(download);
        const std::string base = m_parameters.Get("GLM_PATCHER_BASE_URL");
        const Web::Url url(base + movieName + "?" + Web::MakeRandomToken());
        Web::HttpConnection connection(Web::DefaultAgentName(), url);
        std::string signature;
        try {
            signature = FetchSignature(connection, base + movieName + ".sig?" + Web::MakeRandomToken());
        } catch (Ex::Exception&) {
            Log("Refused the movie " + movieName + ": no signature could be fetched");
            throw;
        }
        SilentObserver observer;
        try {
            connection.DoGet(url.GetObjectName(), Web::Flash)
                ->GetResponseBodyIntoFile(download, observer, nullptr);
        } catch (...) {
            ::unlink(download.c_str());
            throw;
        }
        std::string why;
        if (!MakeVerifier().VerifyFile(download, signature, why)) {
            ::unlink(download.c_str());
            Log("Refused the movie " + movieName + ": " + why + "; the download is deleted");
            return;
        }
        Win32::RenameDurably(download, path);
    });
}

void Patcher::DeleteOldPatch() {
    Guarded("Glm::Patcher::DeleteOldPatch", [&] {
        if (!FileExists(m_locations.patchPath)) {
            return;
        }
        WaitForProcessExit(PatcherLocations::FileNameOf(m_locations.patchPath));
        DeleteFileIfPresent(m_locations.patchPath);
        Log("Deleted the old update " + m_locations.patchPath);
    });
}

void Patcher::DeleteOldSWFFiles() {
    Guarded("Glm::Patcher::DeleteOldSWFFiles", [&] {
        for (const char* key : {"SWF_AVATAR_AND_BUTTERFLY", "SWF_AVATAR_FULL"}) {
            DeleteFileIfPresent(MoviePath(m_parameters.Get(key)));
        }
        for (const char* movie : kCongratulationMovies) {
            DeleteFileIfPresent(MoviePath(movie));
        }
    });
}

void Patcher::CopyPatchFileIntoExeFile() {
    try {
        WaitForProcessExit(PatcherLocations::FileNameOf(m_locations.executablePath));
        ReplaceFileAtomically(m_locations.patchPath, m_locations.executablePath);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

bool Patcher::ForkOutProcess(const std::string& path) {
    return Guarded("Glm::Patcher::ForkOutProcess", [&] {
        const Process::Process process({path}, PatcherLocations::DirectoryOf(path));
        (void)process;
    });
}

void PatchDownloadObserver::OnProgress(void*, unsigned percent) {
    m_patcher.OnProgramDownloadProgress(percent);
}

void PatchDownloadObserver::OnComplete(void*) {
    m_patcher.OnProgramDownloaded();
}

void PatchDownloadObserver::OnError(void*, const std::string&) {}

} // namespace Glm
