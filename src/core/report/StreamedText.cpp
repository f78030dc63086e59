#include "StreamedText.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zentrok::report {

namespace {
constexpr std::size_t PieceBytes = 1 << 20;
constexpr std::size_t MostWaiting = 4;

// Between the making thread and the writing one.
class Channel : public TextSink {
public:
    Channel() { piece_.reserve(PieceBytes); }
    // The making side.
    void Write(std::string_view text) override
    {
        while (!text.empty()) {
            const std::size_t take = std::min(text.size(), PieceBytes - piece_.size());
            piece_.append(text.data(), take);
            text.remove_prefix(take);
            if (piece_.size() == PieceBytes) Hand();
        }
    }
    // The last piece, short.
    void Flush()
    {
        if (!piece_.empty()) Hand();
    }
    void Finish(std::exception_ptr failed)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
        failed_ = failed;
        changed_.notify_all();
    }

    // The writing side: the next piece, or false at the end; the one before goes back for reuse.
    bool Next(std::string& piece)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!piece.empty()) {
            piece.clear();
            spare_.push_back(std::move(piece));
        }
        changed_.wait(lock, [this] { return !waiting_.empty() || done_; });
        if (waiting_.empty()) return false;
        piece = std::move(waiting_.front());
        waiting_.pop_front();
        changed_.notify_all();
        return true;
    }
    // The file refused a piece: the making stops at its next one.
    void Stop()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }
    std::exception_ptr Failed() const { return failed_; }  // once Next has said the end

    struct Stopped {};

private:
    void Hand()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return waiting_.size() < MostWaiting || stopped_; });
        if (stopped_) throw Stopped{};
        waiting_.push_back(std::move(piece_));
        changed_.notify_all();
        piece_.clear();
        if (!spare_.empty()) {
            piece_ = std::move(spare_.back());
            spare_.pop_back();
        }
        if (piece_.capacity() < PieceBytes) piece_.reserve(PieceBytes);
    }

    std::string piece_;  // being made
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> waiting_;
    std::vector<std::string> spare_;
    bool done_ = false, stopped_ = false;
    std::exception_ptr failed_;
};
} // namespace

bool StreamedText::WriteTo(ContentSink& sink) const
{
    Channel channel;
    std::thread maker([&] {
        std::exception_ptr failed;
        try {
            make_(channel);
            channel.Flush();
        } catch (const Channel::Stopped&) {
        } catch (...) {
            failed = std::current_exception();
        }
        channel.Finish(failed);
    });
    bool written = true;
    std::string piece;
    while (channel.Next(piece)) {
        if (!sink.Put(piece)) {
            written = false;
            channel.Stop();
            while (channel.Next(piece)) {}  // until the maker has seen it
            break;
        }
    }
    maker.join();
    failed_ = channel.Failed();
    return written && !failed_;
}

} // namespace zentrok::report
