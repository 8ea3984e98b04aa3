#include "stub/reader_message.h"

#include "stub/player_log.h"

namespace quorlix {

namespace {

constexpr wchar_t kTitle[] = L"Dorvane Quorlix";

int Show(const std::wstring& text, UINT buttons, const wchar_t* snapshotName,
         const std::optional<ScriptedReply>& reply) {
    std::optional<DialogAnswer> answer;
    if (reply) {
        answer.emplace(snapshotName, *reply);
    }
    return MessageBoxW(nullptr, text.c_str(), kTitle, buttons | MB_SETFOREGROUND);
}

}  // namespace

void ShowReaderMessage(const std::wstring& text, UINT icon) {
    LogStep(L"message " + text);
    const bool capturing = TestSetting(L"QUORLIX_PLAYER_SNAPSHOTS").has_value();
    Show(text, MB_OK | icon, L"message",
         capturing ? std::optional(ScriptedReply{IDOK, {}}) : std::nullopt);
}

int AskReader(const std::wstring& text, UINT buttons, const wchar_t* snapshotName,
              const std::optional<ScriptedReply>& reply) {
    return Show(text, buttons, snapshotName, reply);
}

}  // namespace quorlix
