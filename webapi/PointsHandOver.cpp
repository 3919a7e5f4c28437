#include "webapi/PointsHandOver.h"

#include "common/Ex/Logger.h"
#include "common/Win32/Files.h"
#include "common/Win32/Win32Exception.h"
#include "device/Toy.h"
#include "webapi/CallGuard.h"
#include "webapi/UploadBodies.h"
#include "webapi/WebApi.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace Glm {

namespace {

void Log(const std::string& text) {
    Ex::GetLogger()->Log(text);
}

// Fairy ids are written so that a blank, a line break or a percent sign in
// one cannot break the line.
std::string Escape(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '%' || c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            static const char* const kHex = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(c);
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

bool Unescape(const std::string& text, std::string& plain) {
    plain.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            plain += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            return false;
        }
        plain += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
        i += 2;
    }
    return true;
}

bool ParseRecord(const std::string& line, PointsRecord& record) {
    std::istringstream in(line);
    std::uint64_t clickId = 0;
    std::int64_t points = 0;
    std::string state, fairy, rest;
    if (!(in >> clickId >> points >> state >> fairy) || (in >> rest) || clickId > 0xFFFFFFFFull ||
        points < 0 || points > 0x7FFFFFFF || (state != "sending" && state != "accepted")) {
        return false;
    }
    record.clickId = static_cast<std::uint32_t>(clickId);
    record.points = static_cast<std::int32_t>(points);
    record.state = state == "accepted" ? PointsRecord::Accepted : PointsRecord::Sending;
    // The Fairy field starts with "=" so that an empty id still makes a field.
    return fairy[0] == '=' && Unescape(fairy.substr(1), record.fairyId);
}

} // namespace

PointsJournal::PointsJournal(const std::string& directory)
    : m_directory(directory), m_path(directory + "/" + kFileName) {}

std::vector<PointsRecord> PointsJournal::Load() const {
    std::vector<PointsRecord> records;
    std::ifstream in(m_path);
    if (!in) {
        return records; // no journal: nothing pending
    }
    bool damaged = false;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        PointsRecord record;
        if (ParseRecord(line, record)) {
            records.push_back(record);
        } else {
            damaged = true;
            Log("Points journal " + m_path + ": line " + std::to_string(number) + " is damaged and left out");
        }
    }
    if (damaged) {
        std::error_code error;
        std::filesystem::copy_file(m_path, m_path + ".damaged",
                                   std::filesystem::copy_options::overwrite_existing, error);
    }
    return records;
}

bool PointsJournal::Save(const std::vector<PointsRecord>& records) {
    std::string text;
    for (const PointsRecord& record : records) {
        text += std::to_string(record.clickId) + " " + std::to_string(record.points) + " " +
                (record.state == PointsRecord::Accepted ? "accepted" : "sending") + " " + "=" +
                Escape(record.fairyId) + "\n";
    }
    std::error_code made;
    std::filesystem::create_directories(m_directory, made);
    try {
        Win32::WriteFileDurably(m_path, text, 0600);
    } catch (const Win32::Win32Exception& failure) {
        Log("Points journal " + m_path + ": " + failure.ToString());
        return false;
    }
    return true;
}

std::optional<PointsRecord> PointsJournal::Find(std::uint32_t clickId) const {
    for (const PointsRecord& record : Load()) {
        if (record.clickId == clickId) {
            return record;
        }
    }
    return std::nullopt;
}

bool PointsJournal::Put(const PointsRecord& record) {
    std::vector<PointsRecord> records = Load();
    std::erase_if(records, [&](const PointsRecord& r) { return r.clickId == record.clickId; });
    records.push_back(record);
    return Save(records);
}

bool PointsJournal::Settle(std::uint32_t clickId) {
    std::vector<PointsRecord> records = Load();
    const std::size_t removed =
        std::erase_if(records, [&](const PointsRecord& r) { return r.clickId == clickId; });
    return removed == 0 || Save(records);
}

PointsHandOver GivePoints(WebApi& api, Toy& toy, const std::string& fairyId, PointsJournal& journal) {
    PointsHandOver result;
    if (!toy.IsPresent()) {
        return result;
    }
    result.points = toy.GetPoints();
    if (result.points <= 0) {
        result.outcome = PointsHandOver::NothingToGive;
        return result;
    }
    const auto clickId = static_cast<std::uint32_t>(toy.GetClickId());
    const std::optional<PointsRecord> earlier = journal.Find(clickId);
    if (earlier && earlier->points == result.points) {
        // An earlier attempt sent exactly these points: the service has
        // them (or, when its answer never came, may have them). They are
        // not sent again.
        Log("Glint Points " + std::to_string(result.points) + " of toy " + std::to_string(clickId) +
            " were given to Fairy " + earlier->fairyId +
            " before; clearing the toy without uploading them again");
        result.creditedFairyId = earlier->fairyId;
    } else {
        if (earlier) {
            // The toy no longer holds what the journal remembers: it was
            // cleared since (and may have earned points again).
            Log("Points journal: toy " + std::to_string(clickId) + " holds " + std::to_string(result.points) +
                " points, not the " + std::to_string(earlier->points) + " remembered; the record is dropped");
        }
        PointsRecord record{clickId, result.points, fairyId, PointsRecord::Sending};
        journal.Put(record);
        std::string body;
        if (!GuardCall(GLM_CALL_SITE("Glm::Glimmeries", "UploadPoints"), nullptr,
                       [&] { body = BuildPointsUploadBody(fairyId, clickId, result.points); }) ||
            api.UploadGlintPoints(body, result.errorCode) != 0) {
            journal.Settle(clickId);
            result.outcome = PointsHandOver::UploadFailed;
            return result;
        }
        result.uploaded = true;
        result.creditedFairyId = fairyId;
        record.state = PointsRecord::Accepted;
        journal.Put(record);
    }
    result.deviceResult = toy.ClearPoints();
    if (result.deviceResult != 0) {
        result.outcome = PointsHandOver::ClearFailed;
        return result;
    }
    journal.Settle(clickId);
    result.outcome = PointsHandOver::Given;
    return result;
}

} // namespace Glm
