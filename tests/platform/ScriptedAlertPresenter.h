#pragma once
// An alert presenter for tests: answers from a script and keeps what it was
// asked. Installs itself while it lives.

#include "platform/Alert.h"

#include <deque>
#include <vector>

class ScriptedAlertPresenter : public cv::AlertPresenter {
public:
    ScriptedAlertPresenter() : _previous(cv::setAlertPresenter(this)) {}
    ~ScriptedAlertPresenter() override { cv::setAlertPresenter(_previous); }
    ScriptedAlertPresenter(const ScriptedAlertPresenter &) = delete;
    ScriptedAlertPresenter &operator=(const ScriptedAlertPresenter &) = delete;

    std::deque<cv::AlertButton> answers;
    std::deque<std::optional<QString>> names;
    std::vector<cv::AlertRequest> asked;
    QString nameTitle;
    bool nameMustChange = false;

    cv::AlertButton runAlert(const cv::AlertRequest &request) override
    {
        asked.push_back(request);
        if (answers.empty()) return cv::AlertButton::Default;
        const cv::AlertButton a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> runNameDialog(const QString &, const QString &title, bool mustChange) override
    {
        nameTitle = title;
        nameMustChange = mustChange;
        if (names.empty()) return std::nullopt;
        auto n = names.front();
        names.pop_front();
        return n;
    }

private:
    cv::AlertPresenter *_previous;
};
