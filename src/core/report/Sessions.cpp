#include "Sessions.h"

#include <algorithm>
#include <optional>

namespace zentrok::report {

namespace {
// The session being built for one user and computer.
class Builder {
public:
    Builder(Seconds now, Sessions& out) : now_(now), out_(out) {}

    void Add(const Record& r)
    {
        if (r.word == Word::Logon) {
            EndWithoutLogoff();
            Open(r, false);
            return;
        }
        // Records before any logon: a session only if a logoff shows that the log lost its logon.
        if (!session_) Open(r, true);
        switch (r.word) {
        case Word::Logoff:
            if (headless_) {
                session_->flags |= NoLogon;
                session_->startEstimated = session_->span.start < r.time;
                headless_ = false;
            }
            // A second logoff (a cancelled shutdown) moves the end to it.
            session_->span.end = r.time;
            session_->reason = r.reason;
            logoff_ = true;
            break;
        case Word::Lock: Opener(lock_, r.time); break;
        case Word::Sleep: Opener(sleep_, r.time); break;
        case Word::Unlock: Closer(lock_, r.time); break;
        case Word::Resume: Closer(sleep_, r.time); break;
        default: break;
        }
        if (!logoff_) last_ = r.time;
    }

    void Finish()
    {
        if (session_ && !headless_ && !logoff_ && DayOf(session_->span.start) == DayOf(now_) &&
            now_ >= session_->span.start) {
            session_->span.end = now_;
            session_->flags |= Running;
            logoff_ = true;
        }
        EndWithoutLogoff();
    }

private:
    void Open(const Record& r, bool headless)
    {
        session_ = Session{r.user, r.computer, {r.time, r.time}, false, false, 0, Reason::None, 0, 0};
        headless_ = headless;
        logoff_ = false;
        last_ = r.time;
        lock_.reset();
        sleep_.reset();
        away_.clear();
    }

    // Closes the session: at its logoff, or else at its last record after the logon (estimated).
    void EndWithoutLogoff()
    {
        if (!session_ || headless_) {
            session_.reset();
            return;
        }
        if (!logoff_) {
            session_->span.end = last_;
            session_->endEstimated = last_ > session_->span.start;
            session_->flags |= NoLogoff;
        }
        for (auto* away : {&lock_, &sleep_})
            if (*away) Away(**away, session_->span.end);
        Seal();
    }

    void Opener(std::optional<Seconds>& away, Seconds t)
    {
        if (!away) away = t;
    }

    void Closer(std::optional<Seconds>& away, Seconds t)
    {
        if (away) Away(*away, t);
        away.reset();
    }

    // Filled in place: a span put together aside is stored in halves and read back whole, which stalls the processor.
    void Away(Seconds start, Seconds end)
    {
        Span& a = away_.emplace_back();
        a.start = start;
        a.end = end;
    }

    // Joins overlapping time away and keeps it inside the session.
    void Seal()
    {
        Session& s = *session_;
        std::sort(away_.begin(), away_.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
        std::vector<Span>& all = out_.away;
        s.awayBegin = all.size();
        for (const Span& a : away_) {
            const Seconds start = std::max(a.start, s.span.start), end = std::min(a.end, s.span.end);
            if (end <= start) continue;
            if (all.size() > s.awayBegin && start <= all.back().end) {
                all.back().end = std::max(all.back().end, end);
            } else {
                Span& kept = all.emplace_back();  // filled in place, as in Away()
                kept.start = start;
                kept.end = end;
            }
        }
        s.awayEnd = all.size();
        out_.list.push_back(s);
        session_.reset();
    }

    Seconds now_;
    Sessions& out_;
    std::optional<Session> session_;
    std::vector<Span> away_;
    std::optional<Seconds> lock_, sleep_;
    Seconds last_ = 0;
    bool headless_ = false;  // records before any logon, which the log may have lost
    bool logoff_ = false;
};
} // namespace

Sessions BuildSessions(std::vector<Record> records, Seconds now)
{
    // Per user and computer in time order; within one second a logoff comes before a logon.
    const auto before = [](const Record& a, const Record& b) {
        if (a.user != b.user) return a.user < b.user;
        if (a.computer != b.computer) return a.computer < b.computer;
        if (a.time != b.time) return a.time < b.time;
        const bool aOff = a.word == Word::Logoff, bOff = b.word == Word::Logoff;
        if (aOff != bOff) return aOff;
        return a.order < b.order;
    };
    // One file per PC, read in name order, is in this order already.
    if (!std::is_sorted(records.begin(), records.end(), before)) std::sort(records.begin(), records.end(), before);
    // Room for what the records can make, as a count of their words tells: grown step by step,
    // the lists would be copied again and again into fresh memory.
    std::size_t logons = 0, aways = 0;
    for (const Record& r : records) {
        logons += r.word == Word::Logon;
        aways += r.word == Word::Lock || r.word == Word::Sleep;
    }
    Sessions sessions;
    sessions.list.reserve(logons + 1);
    sessions.away.reserve(aways);
    std::size_t i = 0;
    while (i < records.size()) {
        Builder builder(now, sessions);
        const std::size_t groupStart = i;
        unsigned wordsThisSecond = 0;  // an exact copy (another copy of the same log) counts once
        for (; i < records.size() && records[i].user == records[groupStart].user &&
               records[i].computer == records[groupStart].computer;
             ++i) {
            if (i == groupStart || records[i].time != records[i - 1].time) wordsThisSecond = 0;
            const unsigned word = 1u << static_cast<unsigned>(records[i].word);
            if (wordsThisSecond & word) continue;
            wordsThisSecond |= word;
            builder.Add(records[i]);
        }
        builder.Finish();
    }
    return sessions;
}

} // namespace zentrok::report
