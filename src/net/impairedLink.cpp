#include "net/impairedLink.h"

#include <algorithm>
#include <utility>

impairedLink::impairedLink(conditions c, std::uint64_t seed, std::function<std::uint32_t()> clock)
    : conditions_(c), state_(seed), clock_(std::move(clock)) {}

impairedLink::conditions impairedLink::poorNetwork() {
    conditions c;
    c.delayMs = 80;
    c.jitterMs = 20;
    c.loss = 0.05;
    c.duplicate = 0.02;
    c.reorder = 0.05;
    return c;
}

transport impairedLink::side(int which) {
    transport t;
    const int other = 1 - which;
    t.send = [this, other](const std::vector<unsigned char>& bytes) { post(other, bytes); };
    t.receive = [this, which](std::vector<unsigned char>& out) { return take(which, out); };
    t.lost = [this] { return cut_; };
    return t;
}

transport impairedLink::impairOutgoing(transport inner) {
    transport t;
    t.send = [this](const std::vector<unsigned char>& bytes) { post(1, bytes); };
    t.receive = [this, inner](std::vector<unsigned char>& out) {
        std::vector<unsigned char> due;
        while (take(1, due))
            inner.send(due);
        return inner.receive(out);
    };
    t.lost = inner.lost;
    return t;
}

// splitmix64: small, and the same numbers on every build.
double impairedLink::chance() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 53);
}

std::uint32_t impairedLink::delay() {
    const double spread = (chance() * 2 - 1) * conditions_.jitterMs;
    const double d = conditions_.delayMs + spread;
    return d <= 0 ? 0 : static_cast<std::uint32_t>(d + 0.5);
}

void impairedLink::post(int to, const std::vector<unsigned char>& bytes) {
    if (cut_) return;
    ++sent_;
    if (chance() < conditions_.loss) {
        ++lost_;
        return;
    }
    const std::uint32_t now = clock_();
    int copies = 1;
    if (chance() < conditions_.duplicate) {
        ++duplicated_;
        copies = 2;
    }
    for (int i = 0; i < copies; ++i) {
        std::uint32_t d = delay();
        if (chance() < conditions_.reorder) {
            ++reordered_;
            d += conditions_.delayMs / 2 + 1;
        }
        queue_[to].push_back({now + d, order_++, bytes});
    }
}

bool impairedLink::take(int at, std::vector<unsigned char>& out) {
    if (cut_) return false;
    const std::uint32_t now = clock_();
    auto& q = queue_[at];
    auto best = q.end();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (static_cast<std::int32_t>(now - it->due) < 0) continue;
        if (best == q.end() || it->due < best->due ||
            (it->due == best->due && it->order < best->order))
            best = it;
    }
    if (best == q.end()) return false;
    out = std::move(best->bytes);
    q.erase(best);
    return true;
}
