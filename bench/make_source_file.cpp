// make_source_file ROWS FILE: writes a source file for the exchange
// benchmarks: a header line and ROWS data lines of ten tab-separated
// columns (numbers, codes, Chinese names and departments, dates, times,
// amounts, hours, flags, mixed notes), UTF-8, CR LF line ends. The rows
// come from a fixed pseudo-random sequence, so every run writes the same
// file. The columns match bench/staff_table.sql.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kHeader = "Id\tCode\tName\tDept\tHireDate\tClockIn\tSalary\tHours\tActive\tNote";

constexpr const char* kSurnames[] = {"张", "王", "李", "赵", "陈", "刘", "杨", "黄", "周", "吴", "徐", "孙"};
constexpr const char* kGivenNames[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽",
                                       "强", "磊", "军", "洋",   "勇", "艳", "杰"};
constexpr const char* kDepartments[] = {"人事部", "财务部",     "生产一部", "生产二部",
                                        "品质部", "仓储物流部", "研发中心", "Sales"};
constexpr const char* kNotes[] = {
    "",        "正常", "late twice in March", "调岗：生产二部 → 品质部", "O'Neil's shift", "#Null", "夜班 night shift",
    "试用期满"};

template <std::size_t N>
const char* pick(const char* const (&list)[N], std::uint64_t r) {
    return list[r % N];
}

class Random {
public:
    std::uint64_t next() {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return state_ >> 33;
    }

private:
    std::uint64_t state_ = 20240601;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_source_file ROWS FILE\n");
        return 2;
    }
    const long rows = std::atol(argv[1]);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        return 1;
    }
    static char buffer[1 << 20];
    std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
    std::fprintf(out, "%s\r\n", kHeader);
    Random random;
    for (long id = 1; id <= rows; ++id) {
        const std::uint64_t a = random.next(), b = random.next(), c = random.next();
        std::fprintf(out,
                     "%ld\tE%06ld\t%s%s\t%s\t%04u-%02u-%02u\t%04u-%02u-%02u %02u:%02u:%02u\t%u.%02u\t%u.%u\t%s\t%s\r\n",
                     id, id % 1000000, pick(kSurnames, a), pick(kGivenNames, a >> 8), pick(kDepartments, a >> 16),
                     static_cast<unsigned>(1995 + b % 30), static_cast<unsigned>(1 + (b >> 5) % 12),
                     static_cast<unsigned>(1 + (b >> 9) % 28), static_cast<unsigned>(2020 + c % 5),
                     static_cast<unsigned>(1 + (c >> 3) % 12), static_cast<unsigned>(1 + (c >> 7) % 28),
                     static_cast<unsigned>(6 + (c >> 12) % 4), static_cast<unsigned>((c >> 14) % 60),
                     static_cast<unsigned>((c >> 20) % 60), static_cast<unsigned>(3000 + a % 27000),
                     static_cast<unsigned>((a >> 24) % 100), static_cast<unsigned>(4 + b % 8),
                     static_cast<unsigned>((b >> 13) % 10), (c >> 26) % 5 ? "True" : "False", pick(kNotes, b >> 17));
    }
    if (std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
