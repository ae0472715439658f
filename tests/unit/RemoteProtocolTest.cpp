// The agent protocol in memory: frames, records checked against the class
// schema, caps, and the agent loop over a socket pair.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

#include "cimv2/core/WbemError.h"
#include "remote/Agent.h"
#include "remote/Protocol.h"
#include "tests/unit/RemoteSample.h"

using namespace remote;
using cimv2::Value;
using remotetest::FrameBytes;
using remotetest::HelloFrame;
using remotetest::SampleInstances;
using remotetest::SampleSchema;

namespace {

std::string Answer(const std::vector<cimv2::Instance>& instances) {
    cimv2::QueryResult result;
    result.schema = &SampleSchema();
    result.instances = instances;
    std::string bytes;
    AppendAnswer(bytes, result);
    return bytes;
}

std::string Record(std::initializer_list<std::pair<uint16_t, Value>> values) {
    ByteWriter w;
    w.U16(static_cast<uint16_t>(values.size()));
    for (const auto& [column, value] : values) {
        w.U16(column);
        w.Value(value);
    }
    return FrameBytes(FrameType::Record, w.Bytes());
}

std::string Header() { return FrameBytes(FrameType::Header, HeaderPayload(SampleSchema())); }
std::string End(uint32_t n) { return FrameBytes(FrameType::End, EndPayload(n)); }

std::vector<cimv2::Instance> Decode(const std::string& bytes, Limits limits = {}) {
    MemoryFrameSource source(bytes, limits.maxFrameBytes);
    return ReadQueryAnswer(source, SampleSchema(), limits);
}

TEST(RemoteProtocol, AnswerRoundTripKeepsEveryValueAndNull) {
    auto sent = SampleInstances();
    auto got = Decode(Answer(sent));
    ASSERT_EQ(got.size(), sent.size());
    for (size_t n = 0; n < sent.size(); ++n) {
        EXPECT_EQ(got[n].schema, &SampleSchema());
        EXPECT_EQ(got[n].values, sent[n].values) << "instance " << n;
    }
    EXPECT_TRUE(got[2].Get("Count").IsNull());
    EXPECT_EQ(got[1].Get("Codes").kind, Value::Kind::Array);
}

TEST(RemoteProtocol, ParserSplitsFramesFedOneByteAtATime) {
    std::string bytes = Answer(SampleInstances());
    FrameParser parser(1 << 20);
    std::vector<FrameType> types;
    for (char c : bytes) {
        parser.Feed(&c, 1);
        while (auto frame = parser.Next()) types.push_back(frame->type);
    }
    std::vector<FrameType> expected = {FrameType::Header, FrameType::Record, FrameType::Record, FrameType::Record,
                                       FrameType::End};
    EXPECT_EQ(types, expected);
    EXPECT_EQ(parser.Buffered(), 0u);
}

TEST(RemoteProtocol, OversizedFrameIsRefusedFromItsLengthAlone) {
    FrameParser parser(1000);
    const char length[4] = {0x00, 0x00, 0x03, static_cast<char>(0xE9)};  // 1001
    parser.Feed(length, 4);
    try {
        parser.Next();
        FAIL() << "no error";
    } catch (const cimv2::WbemError& e) {
        EXPECT_EQ(e.Code(), kTransportFailure);
        EXPECT_NE(std::string(e.what()).find("over the limit of 1000"), std::string::npos) << e.what();
    }
    EXPECT_EQ(parser.Buffered(), 4u);
}

struct BadAnswer {
    const char* name;
    std::string bytes;
    const char* message;  // part of the error text
    uint32_t code = kTransportFailure;
};

std::string ArrayOf(uint32_t count, uint8_t itemTag) {
    ByteWriter w;
    w.U16(1);
    w.U16(5);  // Codes
    w.U8(6);
    w.U32(count);
    for (uint32_t n = 0; n < std::min<uint32_t>(count, 3); ++n) {
        w.U8(itemTag);
        w.U64(1);
    }
    return FrameBytes(FrameType::Record, w.Bytes());
}

std::string RawRecord(const std::string& payload) { return FrameBytes(FrameType::Record, payload); }

// Two arrays whose items together pass the per-frame limit on values.
std::string ManyValues() {
    ByteWriter w;
    w.U16(2);
    std::vector<Value> codes(40000, Value::UInt(1)), labels(40000, Value::Text(""));
    w.U16(5), w.Value(Value::Array(codes));
    w.U16(6), w.Value(Value::Array(labels));
    return FrameBytes(FrameType::Record, w.Bytes());
}

TEST(RemoteProtocol, MalformedAnswersAreErrorsNeverShortLists) {
    std::string full = Answer(SampleInstances());
    std::string header = Header();
    ByteWriter otherClass;
    otherClass.String("Win32_Other");
    otherClass.U16(0);
    ByteWriter otherType;
    otherType.String("Sq_Sample");
    otherType.U16(1);
    otherType.String("Count");
    otherType.U16(static_cast<uint16_t>(cimv2::CimType::String));
    otherType.U8(0);
    ByteWriter twice;
    twice.U16(2);
    twice.U16(0), twice.Value(Value::Text("a"));
    twice.U16(0), twice.Value(Value::Text("b"));
    ByteWriter stray;
    stray.U16(0);
    stray.U8(0);
    ByteWriter badBool;
    badBool.U16(1), badBool.U16(4), badBool.U8(5), badBool.U8(2);
    ByteWriter badTag;
    badTag.U16(1), badTag.U16(0), badTag.U8(9);
    ByteWriter longText;
    longText.U16(1), longText.U16(0), longText.U8(1), longText.U32(1000), longText.U8('x');

    const BadAnswer cases[] = {
        {"nothing at all", "", "ended before it was complete"},
        {"cut after header", header, "ended before it was complete"},
        {"cut after a record", full.substr(0, full.size() - 9), "ended before it was complete"},
        {"cut inside a frame", full.substr(0, full.size() - 2), "ended before it was complete"},
        {"end counts more", header + Record({{0, Value::Text("a")}}) + End(2), "counts 2 records, 1 arrived"},
        {"column past the header", header + Record({{8, Value::Text("a")}}) + End(1), "names column 8 of 8"},
        {"text for an integer", header + Record({{1, Value::Text("7")}}) + End(1), "Sq_Sample.Count does not fit"},
        {"signed for unsigned", header + Record({{1, Value::Int(7)}}) + End(1), "does not fit"},
        {"scalar for an array", header + Record({{5, Value::UInt(7)}}) + End(1), "Sq_Sample.Codes does not fit"},
        {"explicit null", header + Record({{1, Value::Null()}}) + End(1), "does not fit"},
        {"column set twice", header + RawRecord(twice.Bytes()) + End(1), "sets a column twice"},
        {"stray bytes", header + RawRecord(stray.Bytes() + "zz") + End(1), "stray bytes"},
        {"boolean byte 2", header + RawRecord(badBool.Bytes()) + End(1), "boolean byte 2"},
        {"unknown tag", header + RawRecord(badTag.Bytes()) + End(1), "unknown value tag 9"},
        {"text past its frame", header + RawRecord(longText.Bytes()) + End(1), "runs past the end"},
        {"array count past its frame", header + ArrayOf(4000000000u, 3) + End(1), "does not fit its frame"},
        {"array of arrays", header + ArrayOf(1, 6) + End(1), "must be a plain value"},
        {"too many values in one frame", header + ManyValues() + End(1), "an array of 40000 items does not fit"},
        {"zero-length frame", header + std::string(4, '\0') + End(0), "an empty frame"},
        {"answer for another class", FrameBytes(FrameType::Header, otherClass.Bytes()) + End(0),
         "for class \"Win32_Other\""},
        {"column of another type", FrameBytes(FrameType::Header, otherType.Bytes()) + End(0), "different type"},
        {"record before header", Record({{0, Value::Text("a")}}), "expected a header frame"},
        {"hello inside an answer", header + FrameBytes(FrameType::Hello, HelloPayload("x")), "expected a record frame"},
        {"error with a success code", header + FrameBytes(FrameType::Error, ErrorPayload(0, "fine")), "code 0"},
        {"agent error mid-answer",
         header + Record({{0, Value::Text("a")}}) + FrameBytes(FrameType::Error, ErrorPayload(0x80041004, "disk gone")),
         "disk gone", 0x80041004},
    };
    for (const auto& c : cases) {
        try {
            auto got = Decode(c.bytes);
            ADD_FAILURE() << c.name << ": decoded " << got.size() << " instances";
        } catch (const cimv2::WbemError& e) {
            EXPECT_EQ(e.Code(), c.code) << c.name;
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

TEST(RemoteProtocol, AnswerOverItsCapsIsAnError) {
    std::vector<cimv2::Instance> many(2000, SampleInstances()[2]);
    std::string bytes = Answer(many);
    EXPECT_EQ(Decode(bytes).size(), 2000u);
    Limits fewBytes, littleMemory;
    fewBytes.maxAnswerBytes = 20000;  // 2000 records of 18 bytes each
    littleMemory.maxAnswerMemory = 100000;
    const std::pair<Limits, const char*> cases[] = {
        {fewBytes, "The answer from the agent is over the limit of 20000 bytes"},
        {littleMemory, "The answer from the agent would take more than 100000 bytes of memory here"},
    };
    for (const auto& [limits, message] : cases) {
        try {
            Decode(bytes, limits);
            ADD_FAILURE() << message << ": no error";
        } catch (const cimv2::WbemError& e) {
            EXPECT_EQ(e.Code(), kTransportFailure);
            EXPECT_STREQ(e.what(), message);
        }
    }
}

// SELECT Handle FROM Win32_Process on a machine of 20,000 processes: the
// records are small however many properties the class has.
TEST(RemoteProtocol, ManySmallRecordsOfAWideClassFit) {
    const cimv2::ClassSchema* process = RegistrySchema("Win32_Process");
    ASSERT_NE(process, nullptr);
    const int handle = process->IndexOf("Handle");
    cimv2::QueryResult result;
    result.schema = process;
    result.selected = {handle};
    const std::vector<int> columns = AnswerColumns(result);
    // The select list and the keys (Handle is one of them), not the rest.
    std::vector<int> keys;
    for (size_t n = 0; n < process->Properties().size(); ++n)
        if (process->Properties()[n].IsKey()) keys.push_back(static_cast<int>(n));
    EXPECT_EQ(columns, keys);
    EXPECT_NE(std::find(columns.begin(), columns.end(), handle), columns.end());
    EXPECT_LT(columns.size(), process->Properties().size() / 4);
    constexpr size_t kProcesses = 20000;
    std::string bytes = FrameBytes(FrameType::Header, HeaderPayload(*process, columns));
    cimv2::Instance inst(*process);
    for (size_t n = 0; n < kProcesses; ++n) {
        inst.SetText("Handle", std::to_string(n + 1));
        bytes += FrameBytes(FrameType::Record, RecordPayload(inst, columns));
    }
    bytes += End(kProcesses);
    MemoryFrameSource source(bytes, Limits{}.maxFrameBytes);
    const auto got = ReadQueryAnswer(source, *process, Limits{});
    ASSERT_EQ(got.size(), kProcesses);
    EXPECT_EQ(got.back().Get("Handle"), Value::Text(std::to_string(kProcesses)));
    EXPECT_TRUE(got.back().Get("Name").IsNull());
}

TEST(RemoteProtocol, AValueTooLargeForAFrameIsCutAndMarked) {
    std::vector<int> all;
    for (size_t n = 0; n < SampleSchema().Properties().size(); ++n) all.push_back(static_cast<int>(n));
    // Two-byte characters, so that a cut at any byte could split one.
    std::string name;
    for (int n = 0; n < 3000; ++n) name += "\xc3\xa9";
    cimv2::Instance big = SampleInstances()[0];
    big.SetText("Name", name);
    // More items than a frame may hold, however small.
    big.Set("Labels", Value::Array(std::vector<Value>(70000, Value::Text(""))));
    EXPECT_EQ(FitRecord(big, all, 4096), (std::vector<std::string>{"Labels", "Name"}));
    const std::string payload = RecordPayload(big, all);
    EXPECT_LE(payload.size() + 1, 4096u);
    const std::string& cut = big.Get("Name").text;
    ASSERT_GT(cut.size(), kCutMark.size());
    EXPECT_EQ(cut.substr(cut.size() - kCutMark.size()), kCutMark);
    const std::string kept = cut.substr(0, cut.size() - kCutMark.size());
    EXPECT_EQ(kept, name.substr(0, kept.size()));
    EXPECT_EQ(kept.size() % 2, 0u) << "cut inside a character";
    EXPECT_GT(kept.size(), 3000u) << "cut more than it needed";
    // What it sends is an answer the client takes whole.
    Limits limits;
    limits.maxFrameBytes = 4096;
    const auto got = Decode(Header() + FrameBytes(FrameType::Record, payload) + End(1), limits);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].Get("Name").text, cut);
    EXPECT_EQ(got[0].Get("Count"), SampleInstances()[0].Get("Count"));
    // A record that fits is left as it is.
    cimv2::Instance small = SampleInstances()[0];
    EXPECT_TRUE(FitRecord(small, all, 4096).empty());
    EXPECT_EQ(small.values, SampleInstances()[0].values);
}

TEST(RemoteProtocol, ColumnUnknownHereIsDroppedAndTheRestKept) {
    // A newer agent may know a property this side lacks.
    ByteWriter h;
    h.String("Sq_Sample");
    h.U16(2);
    h.String("Future"), h.U16(8), h.U8(0);
    h.String("Count"), h.U16(19), h.U8(0);
    std::string bytes =
        FrameBytes(FrameType::Header, h.Bytes()) + Record({{0, Value::Text("x")}, {1, Value::UInt(9)}}) + End(1);
    auto got = Decode(bytes);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].Get("Count"), Value::UInt(9));
    EXPECT_TRUE(got[0].Get("Name").IsNull());
}

TEST(RemoteProtocol, MethodAnswerIsCheckedAgainstTheMethod) {
    const cimv2::MethodDef& poke = SampleSchema().Methods()[0];
    auto decode = [&](const cimv2::ParamList& out) {
        MemoryFrameSource source(FrameBytes(FrameType::OutParams, OutParamsPayload(out)), 1 << 20);
        return ReadMethodAnswer(source, poke);
    };
    cimv2::ParamList good = {{"ReturnValue", Value::UInt(0)}, {"note", Value::Text("done")}};
    EXPECT_EQ(decode(good), good);
    const std::pair<const char*, cimv2::ParamList> bad[] = {
        {"unknown out parameter", {{"Extra", Value::UInt(1)}}},
        {"does not fit", {{"ReturnValue", Value::Text("0")}}},
        {"given twice", {{"ReturnValue", Value::UInt(0)}, {"RETURNVALUE", Value::UInt(1)}}},
    };
    for (const auto& [message, out] : bad) {
        try {
            decode(out);
            ADD_FAILURE() << message << ": accepted";
        } catch (const cimv2::WbemError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

TEST(RemoteProtocol, StreamDecoderReadsHelloThenAnswer) {
    std::string bytes = FrameBytes(FrameType::Hello, HelloPayload("agent")) + Answer(SampleInstances());
    std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(DecodeAnswerStream(span, remotetest::SampleLookup, {}), 3u);
    EXPECT_THROW(DecodeAnswerStream(span.subspan(0, span.size() - 1), remotetest::SampleLookup, {}), cimv2::WbemError);
    EXPECT_THROW(DecodeAnswerStream(span.subspan(1), remotetest::SampleLookup, {}), cimv2::WbemError);
}

// ---- the agent loop

struct AgentRun {
    int client = -1;
    std::thread thread;
    int status = -1;
    FrameParser parser{1 << 20};
    std::vector<std::string> methodCalls;

    explicit AgentRun(AgentService service) {
        int fds[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        client = fds[0];
        thread = std::thread([this, fd = fds[1], service = std::move(service)] {
            status = ServeAgent(fd, fd, service);
            close(fd);
        });
    }
    ~AgentRun() {
        if (client >= 0) shutdown(client, SHUT_WR);
        thread.join();
        close(client);
    }
    void Send(const std::string& bytes) { ASSERT_EQ(write(client, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    // Reads until the agent closes its end.
    int Finish() {
        shutdown(client, SHUT_WR);
        thread.join();
        thread = std::thread([] {});
        return status;
    }
    Frame Next() {
        for (;;) {
            if (auto frame = parser.Next()) return *frame;
            char buffer[4096];
            ssize_t got = read(client, buffer, sizeof buffer);
            if (got <= 0) throw cimv2::WbemError(kTransportFailure, "The answer from the agent ended early");
            parser.Feed(buffer, static_cast<size_t>(got));
        }
    }
    struct Source : FrameSource {
        AgentRun& run;
        explicit Source(AgentRun& r) : run(r) {}
        Frame NextFrame() override { return run.Next(); }
    };
};

AgentService SampleService(std::vector<std::string>* calls, bool readOnly) {
    AgentService service;
    service.findSchema = remotetest::SampleLookup;
    service.readOnly = readOnly;
    service.query = [](const std::string& wql) {
        if (wql.find("Sq_Sample") == std::string::npos)
            throw cimv2::WbemError(cimv2::wbem::InvalidClass, "Invalid class in " + wql);
        cimv2::QueryResult result;
        result.schema = &SampleSchema();
        result.instances = SampleInstances();
        return result;
    };
    service.method = [calls](const std::string& className, const cimv2::Instance& keys, const std::string& method,
                             const cimv2::ParamList& in) {
        calls->push_back(className + "." + method + " on " + keys.Get("Name").ToText() + " with " + in.at(0).first +
                         "=" + in.at(0).second.ToText());
        return cimv2::ParamList{{"ReturnValue", Value::UInt(0)}};
    };
    return service;
}

TEST(RemoteAgent, AnswersQueriesAndKeepsTheStreamAfterAnError) {
    std::vector<std::string> calls;
    AgentRun agent(SampleService(&calls, false));
    agent.Send(HelloFrame() + FrameBytes(FrameType::Query, QueryPayload("SELECT * FROM Win32_Nope")) +
               FrameBytes(FrameType::Query, QueryPayload("SELECT * FROM Sq_Sample")));
    EXPECT_EQ(DecodeHello(agent.Next()).version, kProtocolVersion);
    AgentRun::Source source(agent);
    try {
        ReadQueryAnswer(source, SampleSchema(), {});
        ADD_FAILURE() << "no error";
    } catch (const cimv2::WbemError& e) {
        EXPECT_EQ(e.Code(), cimv2::wbem::InvalidClass);
        EXPECT_STREQ(e.what(), "Invalid class in SELECT * FROM Win32_Nope");
    }
    auto got = ReadQueryAnswer(source, SampleSchema(), {});
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].values, SampleInstances()[0].values);
    EXPECT_EQ(agent.Finish(), 0);
}

TEST(RemoteAgent, ErrorTextIsWholeWithControlCharactersEscaped) {
    std::vector<std::string> calls;
    AgentRun agent(SampleService(&calls, false));
    const std::string query = std::string("SELECT * FROM Win32_Nope WHERE Name = 'a") + '\0' + "b\x1b]0;title\x07'";
    agent.Send(HelloFrame() + FrameBytes(FrameType::Query, QueryPayload(query)));
    DecodeHello(agent.Next());
    Frame frame = agent.Next();
    ASSERT_EQ(frame.type, FrameType::Error);
    try {
        ThrowErrorFrame(frame);
    } catch (const cimv2::WbemError& e) {
        EXPECT_EQ(e.Message(), "Invalid class in SELECT * FROM Win32_Nope WHERE Name = 'a\\x00b\\x1b]0;title\\a'");
        EXPECT_EQ(e.Message(), e.what());
    }
    EXPECT_EQ(agent.Finish(), 0);
}

TEST(RemoteAgent, MethodCallsRunUnlessReadOnly) {
    cimv2::Instance target = SampleInstances()[0];
    cimv2::ParamList in = {{"Level", Value::UInt(3)}};
    const cimv2::MethodDef& poke = SampleSchema().Methods()[0];
    for (bool readOnly : {false, true}) {
        std::vector<std::string> calls;
        AgentRun agent(SampleService(&calls, readOnly));
        agent.Send(HelloFrame() + FrameBytes(FrameType::Method, MethodPayload(target, "Poke", in)));
        DecodeHello(agent.Next());
        AgentRun::Source source(agent);
        if (readOnly) {
            try {
                ReadMethodAnswer(source, poke);
                ADD_FAILURE() << "read-only agent ran the method";
            } catch (const cimv2::WbemError& e) {
                EXPECT_EQ(e.Code(), cimv2::wbem::AccessDenied);
            }
            EXPECT_TRUE(calls.empty());
        } else {
            EXPECT_EQ(ReadMethodAnswer(source, poke), (cimv2::ParamList{{"ReturnValue", Value::UInt(0)}}));
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0], "Sq_Sample.Poke on " + target.Get("Name").ToText() + " with Level=3");
        }
        EXPECT_EQ(agent.Finish(), 0);
    }
}

// A client that gave up (ssh closed the channel) leaves nobody to read the
// answer: the agent hears of it while the query still runs.
TEST(RemoteAgent, AClientThatHasGoneIsNoticedDuringAQuery) {
    std::mutex lock;
    std::condition_variable changed;
    bool started = false, gone = false;
    std::vector<std::string> calls;
    AgentService service = SampleService(&calls, false);
    service.query = [&](const std::string&) -> cimv2::QueryResult {
        std::unique_lock<std::mutex> guard(lock);
        started = true;
        changed.notify_all();
        // Bounded only so that a fault fails the test rather than hangs it.
        changed.wait_for(guard, std::chrono::minutes(2), [&] { return gone; });
        throw cimv2::WbemError(cimv2::wbem::ProviderFailure, "stopped");
    };
    service.clientGone = [&] {
        std::lock_guard<std::mutex> guard(lock);
        gone = true;
        changed.notify_all();
    };
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    std::thread agent([&] {
        // The agent program ignores SIGPIPE; here it stays with this thread.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        ServeAgent(in[0], out[1], service);
    });
    const std::string request = HelloFrame() + FrameBytes(FrameType::Query, QueryPayload("SELECT * FROM Sq_Sample"));
    ASSERT_EQ(write(in[1], request.data(), request.size()), static_cast<ssize_t>(request.size()));
    {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return started; });
    }
    close(out[0]);
    {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait_for(guard, std::chrono::minutes(2), [&] { return gone; });
        EXPECT_TRUE(gone);
    }
    close(in[1]);
    agent.join();
    close(in[0]);
    close(out[1]);
}

// A client newer than the agent is answered in the agent's version, which
// that client speaks as well.
TEST(RemoteAgent, ANewerClientIsAnsweredInTheAgentsVersion) {
    std::vector<std::string> calls;
    AgentRun agent(SampleService(&calls, false));
    agent.Send(HelloFrame(kProtocolVersion + 4) +
               FrameBytes(FrameType::Query, QueryPayload("SELECT * FROM Sq_Sample")));
    EXPECT_EQ(DecodeHello(agent.Next()).version, kProtocolVersion);
    AgentRun::Source source(agent);
    EXPECT_EQ(ReadQueryAnswer(source, SampleSchema(), {}).size(), 3u);
    EXPECT_EQ(agent.Finish(), 0);
}

TEST(RemoteAgent, BadRequestsAreAnsweredWithAnError) {
    // Status 1: the stream is out of step and the agent stops; 0: a framed
    // but malformed request is refused and the agent reads on.
    const std::tuple<std::string, const char*, int> cases[] = {
        {"GET / HTTP/1.0\r\n\r\n", "over the limit", 1},
        {HelloFrame(0), "protocol version 3, the client 0", 1},
        {FrameBytes(FrameType::Query, QueryPayload("SELECT * FROM Sq_Sample")), "did not start with the sysquill hello",
         1},
        {HelloFrame() + FrameBytes(FrameType::Record, "x"), "Unexpected request frame", 1},
        {HelloFrame() + FrameBytes(FrameType::Query, std::string("\0\0\1\0abc", 7)), "runs past the end", 0},
        {HelloFrame() + FrameBytes(FrameType::Method, "\0"), "runs past the end", 0},
    };
    for (const auto& [bytes, message, status] : cases) {
        std::vector<std::string> calls;
        AgentRun agent(SampleService(&calls, false));
        agent.Send(bytes);
        Frame frame = agent.Next();
        if (frame.type == FrameType::Hello) frame = agent.Next();
        ASSERT_EQ(frame.type, FrameType::Error) << message;
        try {
            ThrowErrorFrame(frame);
        } catch (const cimv2::WbemError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
        EXPECT_EQ(agent.Finish(), status) << message;
    }
}

}  // namespace
