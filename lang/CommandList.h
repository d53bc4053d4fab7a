#pragma once

// Every command word of the page language, once. COMMAND(Name, "word") generates the command enum,
// the name table used by the dispatcher and the DControl member cmd<Name> that runs the statement.
// Matching is exact and case-sensitive, so the order here does not change which command runs.
#define VORLIX_ENUMERATE_COMMANDS(COMMAND)                                                         \
    /* Drawing and text in page coordinates. */                                                    \
    COMMAND(H, "h")                                                                                \
    COMMAND(V, "v")                                                                                \
    COMMAND(D, "d")                                                                                \
    COMMAND(M, "m")                                                                                \
    COMMAND(G, "g")                                                                                \
    COMMAND(Pl, "pl")                                                                              \
    COMMAND(S, "s")                                                                                \
    COMMAND(X, "x")                                                                                \
    COMMAND(T, "t")                                                                                \
    COMMAND(F, "f")                                                                                \
    COMMAND(P, "p")                                                                                \
    COMMAND(O, "o")                                                                                \
    COMMAND(Fs, "fs")                                                                              \
    COMMAND(Ps, "ps")                                                                              \
    COMMAND(Cbx, "cbx")                                                                            \
    COMMAND(R, "r")                                                                                \
    COMMAND(C, "c")                                                                                \
    COMMAND(Nc, "nc")                                                                              \
    COMMAND(Img, "img")                                                                            \
    /* Axis plotting. */                                                                           \
    COMMAND(As, "as")                                                                              \
    COMMAND(A, "a")                                                                                \
    COMMAND(Av, "av")                                                                              \
    COMMAND(Ah, "ah")                                                                              \
    COMMAND(Al, "al")                                                                              \
    COMMAND(Ab, "ab")                                                                              \
    COMMAND(Ala, "ala")                                                                            \
    COMMAND(Ad, "ad")                                                                              \
    COMMAND(Ag, "ag")                                                                              \
    COMMAND(Agf, "agf")                                                                            \
    COMMAND(Ap, "ap")                                                                              \
    COMMAND(Am, "am")                                                                              \
    COMMAND(App, "app")                                                                            \
    COMMAND(Apm, "apm")                                                                            \
    COMMAND(Ahr, "ahr")                                                                            \
    COMMAND(Ar, "ar")                                                                              \
    COMMAND(Arc, "arc")                                                                            \
    /* Graph paper and smooth curves. */                                                           \
    COMMAND(At, "at")                                                                              \
    COMMAND(Gra, "gra")                                                                            \
    COMMAND(Fgra, "fgra")                                                                          \
    COMMAND(Glc, "glc")                                                                            \
    /* Document structure. */                                                                      \
    COMMAND(Start, "start")                                                                        \
    COMMAND(Head, "head")                                                                          \
    COMMAND(Piece, "piece")                                                                        \
    COMMAND(Chbase, "chbase")                                                                      \
    COMMAND(Tag, "tag")                                                                            \
    COMMAND(Out, "out")                                                                            \
    COMMAND(End, "end")

namespace vorlix::lang {

enum class Command : int {
#define VORLIX_COMMAND_ENUM(name, word) name,
    VORLIX_ENUMERATE_COMMANDS(VORLIX_COMMAND_ENUM)
#undef VORLIX_COMMAND_ENUM
};

// The command words in the order of the enum.
inline constexpr const char* CommandWords[] = {
#define VORLIX_COMMAND_WORD(name, word) word,
    VORLIX_ENUMERATE_COMMANDS(VORLIX_COMMAND_WORD)
#undef VORLIX_COMMAND_WORD
};

inline constexpr int CommandCount
    = static_cast<int>(sizeof(CommandWords) / sizeof(CommandWords[0]));

}
