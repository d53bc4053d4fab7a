#pragma once

#include "lang/TokenCutter.h"

#include <QString>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace vorlix::lang {

// Lending and giving back one buffer of the pool; the pool was reserved for the usual depth of
// nested statements, and buffers beyond it are simply dropped.
inline QString borrowTokenBuffer(std::vector<QString>& pool)
{
    if (pool.empty())
        return {};
    QString buffer = std::move(pool.back());
    pool.pop_back();
    return buffer;
}
inline void returnTokenBuffer(std::vector<QString>& pool, QString&& buffer)
{
    if (pool.size() < pool.capacity())
        pool.push_back(std::move(buffer));
}

// One token buffer borrowed for a statement that reads its tokens one by one.
class BorrowedToken {
public:
    explicit BorrowedToken(std::vector<QString>& pool)
        : m_pool(pool)
        , m_token(borrowTokenBuffer(pool))
    {
    }
    ~BorrowedToken() { returnTokenBuffer(m_pool, std::move(m_token)); }
    BorrowedToken(const BorrowedToken&) = delete;
    BorrowedToken& operator=(const BorrowedToken&) = delete;

    [[nodiscard]] QString& get() { return m_token; }

private:
    std::vector<QString>& m_pool;
    QString m_token;
};

// The tokens of one statement with a fixed argument list, cut into string buffers borrowed from a
// pool and given back when the statement is done. Statements reuse the same few buffers, whose
// capacity survives from statement to statement, so reading arguments allocates nothing.
template <std::size_t N> class TokenBuffers {
public:
    TokenBuffers(std::vector<QString>& pool, TokenCutter& cutter)
        : m_pool(pool)
    {
        for (auto& token : m_tokens) {
            token = borrowTokenBuffer(m_pool);
            (void)cutter.getToken(token);
        }
    }
    ~TokenBuffers()
    {
        for (auto& token : m_tokens)
            returnTokenBuffer(m_pool, std::move(token));
    }
    TokenBuffers(const TokenBuffers&) = delete;
    TokenBuffers& operator=(const TokenBuffers&) = delete;

    [[nodiscard]] const QString& operator[](std::size_t i) const { return m_tokens[i]; }
    [[nodiscard]] static constexpr std::size_t size() { return N; }
    [[nodiscard]] auto begin() const { return m_tokens.begin(); }
    [[nodiscard]] auto end() const { return m_tokens.end(); }

private:
    std::vector<QString>& m_pool;
    std::array<QString, N> m_tokens;
};

}
