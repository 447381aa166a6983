#pragma once
// The start-up panel's answer, a bit set: 1 the never-again box, 2 open the
// most recent document, 4 create a new one from the template (code >> 3).
// Neither 2 nor 4 closes the panel without opening anything.

namespace cv {

struct StartupCode {
    enum Action { Close, OpenRecent, CreateNew };
    static constexpr int NeverAgain = 1;
    static constexpr int OpenRecentBit = 2;
    static constexpr int CreateNewBit = 4;

    Action action = Close;
    int templateIndex = 0;
    bool switchPanelOff = false;

    static int encode(Action action, bool neverAgain, int templateIndex)
    {
        int code = neverAgain ? NeverAgain : 0;
        if (action == OpenRecent) code |= OpenRecentBit;
        if (action == CreateNew) code |= CreateNewBit | (templateIndex << 3);
        return code;
    }

    static StartupCode decode(int code)
    {
        StartupCode result;
        result.switchPanelOff = code != 0 && (code & NeverAgain) != 0;
        if (code & OpenRecentBit)
            result.action = OpenRecent;
        else if (code >= CreateNewBit) {
            result.action = CreateNew;
            result.templateIndex = code >> 3;
        }
        return result;
    }
};

} // namespace cv
