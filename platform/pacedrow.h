#pragma once

#include <QElapsedTimer>
#include <functional>
#include <utility>

namespace qv {

// A row that follows long work (the record being exported, the file being downloaded) where
// moving it costs a scroll and a repaint: it moves at most once every interval, since nobody sees
// the rows in between, and finish() leaves it on the last row the work reached.
class PacedRow {
public:
    PacedRow(std::function<void(int row)> move, int intervalMs)
        : move_(std::move(move)), intervalMs_(intervalMs) {}

    void follow(int row) {
        row_ = row;
        if (clock_.isValid() && clock_.elapsed() < intervalMs_)
            return;
        move_(row);
        clock_.start();
    }

    void finish() {
        if (row_ >= 0)
            move_(row_);
    }

private:
    std::function<void(int)> move_;
    int intervalMs_;
    QElapsedTimer clock_;
    int row_ = -1;
};

} // namespace qv
