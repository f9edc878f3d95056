// Message boxes and common dialogs, answered from the test's script.
#include <stdexcept>

#include "platform/headless/call_text.h"
#include "platform/headless/headless_impl.h"

namespace vistrel::platform::headless {
namespace {

std::string quoted(std::string_view text) { return "\"" + escapedText(text) + "\""; }

const char* buttonsText(MessageBoxButtons buttons) { return buttons == MessageBoxButtons::Ok ? "OK" : "YesNo"; }

std::string answerText(MessageBoxAnswer answer) {
    switch (answer) {
        case MessageBoxAnswer::Ok: return "OK";
        case MessageBoxAnswer::Yes: return "Yes";
        case MessageBoxAnswer::No: return "No";
    }
    return "?";
}

bool buttonsCanGive(MessageBoxButtons buttons, MessageBoxAnswer answer) {
    return buttons == MessageBoxButtons::Ok ? answer == MessageBoxAnswer::Ok : answer != MessageBoxAnswer::Ok;
}

std::string filesOrCancel(const std::optional<std::vector<std::string>>& paths) {
    if (!paths) return "Cancel";
    std::string text;
    for (const auto& path : *paths) text += (text.empty() ? "" : "; ") + path;
    return text;
}

std::string fontText(const FontChoice& font) { return font.name + ", " + numberText(font.sizePoints); }

// Takes the next scripted answer and records the call with it. A box the
// test did not expect fails the test right where it opens.
template <typename Answer, typename Describe>
Answer takeAnswer(HeadlessPlatform& platform, std::deque<Answer>& answers, const std::string& call,
                  Describe describe) {
    if (answers.empty()) {
        platform.record(call + " -> no answer");
        throw std::logic_error("no scripted answer for " + call);
    }
    Answer answer = std::move(answers.front());
    answers.pop_front();
    platform.record(call + " -> " + describe(answer));
    return answer;
}

}  // namespace

void HeadlessPlatform::answerMessageBoxes(std::deque<MessageBoxAnswer> answers) {
    messageAnswers_.insert(messageAnswers_.end(), answers.begin(), answers.end());
}

MessageBoxAnswer HeadlessPlatform::messageBox(const std::string& text, const std::string& title,
                                              MessageBoxButtons buttons) {
    const std::string shownTitle = title.empty() ? kApplicationTitle : title;
    messageBoxes_.push_back({text, shownTitle, buttons});
    if (messageBoxObserver_) messageBoxObserver_();
    const std::string call =
        "MessageBox(" + quoted(text) + ", " + quoted(shownTitle) + ", " + buttonsText(buttons) + ")";
    const MessageBoxAnswer answer = takeAnswer(*this, messageAnswers_, call, answerText);
    if (!buttonsCanGive(buttons, answer)) {
        throw std::logic_error("scripted answer " + answerText(answer) + " cannot come from " + call);
    }
    return answer;
}

void HeadlessPlatform::answerFileDialog(std::optional<std::string> path) {
    if (path) {
        fileAnswers_.push_back(std::vector<std::string>{std::move(*path)});
    } else {
        fileAnswers_.push_back(std::nullopt);
    }
}

std::optional<std::vector<std::string>> HeadlessPlatform::chooseFiles(const FileOpenRequest& request) {
    fileRequests_.push_back(request);
    auto chosen = takeAnswer(*this, fileAnswers_, "ChooseFile(" + quoted(request.title) + ")", filesOrCancel);
    if (chosen && chosen->empty()) return std::nullopt;
    return chosen;
}

std::optional<std::string> HeadlessPlatform::chooseFolder(const std::string& title) {
    return takeAnswer(*this, folderAnswers_, "ChooseFolder(" + quoted(title) + ")",
                      [](const std::optional<std::string>& folder) { return folder ? *folder : std::string("Cancel"); });
}

std::optional<std::uint32_t> HeadlessPlatform::chooseColor(std::uint32_t start) {
    colorRequests_.push_back(start);
    return takeAnswer(*this, colorAnswers_, "ChooseColor(" + std::to_string(start) + ")",
                      [](const std::optional<std::uint32_t>& color) {
                          return color ? std::to_string(*color) : std::string("Cancel");
                      });
}

std::optional<FontChoice> HeadlessPlatform::chooseFont(const FontRequest& request) {
    fontRequests_.push_back(request);
    return takeAnswer(*this, fontAnswers_, "ChooseFont(" + fontText(request.start) + ")",
                      [](const std::optional<FontChoice>& font) { return font ? fontText(*font) : "Cancel"; });
}

}  // namespace vistrel::platform::headless
