// FakeCallLog: the shared diary of the fake platform objects.
//
// Every fake appends what it was asked to do, in order, as "Name(arg,arg)",
// e.g. "IBasicVideo::SetDestinationPosition(134,0,533,400)" or
// "MessageBox(Can't render file...)", so a test can check the exact sequence
// across objects. The log also answers each call: a call fails with the
// result set by Fail() for its whole entry or, failing that, for its name.
#ifndef LUMAREL_TESTS_FAKECALLLOG_H
#define LUMAREL_TESTS_FAKECALLLOG_H

#include <windows.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

class FakeCallLog
{
public:
    // Makes calls named name, or logged exactly as name, answer hr.
    void Fail(const std::string& name, HRESULT hr = E_FAIL) { m_results[name] = hr; }
    void ClearFailures() { m_results.clear(); }

    // Logs a call and returns its answer (S_OK unless made to fail).
    template <class... Args>
    HRESULT Call(const std::string& name, const Args&... args)
    {
        const std::string entry = name + "(" + Join(args...) + ")";
        m_entries.push_back(entry);
        auto it = m_results.find(entry);
        if (it == m_results.end())
            it = m_results.find(name);
        return it == m_results.end() ? S_OK : it->second;
    }

    const std::vector<std::string>& Entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }

    // The entries that begin with prefix, in order.
    std::vector<std::string> Matching(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& entry : m_entries)
            if (entry.compare(0, prefix.size(), prefix) == 0)
                found.push_back(entry);
        return found;
    }
    size_t Count(const std::string& prefix) const { return Matching(prefix).size(); }
    bool Contains(const std::string& prefix) const { return Count(prefix) != 0; }

    // Index of the first entry that begins with prefix, or -1.
    int IndexOf(const std::string& prefix) const
    {
        for (size_t i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].compare(0, prefix.size(), prefix) == 0)
                return static_cast<int>(i);
        return -1;
    }

    // Everything logged, one entry a line (for failure messages).
    std::string Dump() const
    {
        std::string text;
        for (const std::string& entry : m_entries)
            text += "  " + entry + "\n";
        return text;
    }

    static std::string Narrow(const WCHAR* pwsz)
    {
        if (!pwsz)
            return "(null)";
        char buf[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, pwsz, -1, buf, sizeof(buf), NULL, NULL);
        return buf;
    }

private:
    static std::string Join() { return ""; }
    template <class First, class... Rest>
    static std::string Join(const First& first, const Rest&... rest)
    {
        std::ostringstream out;
        out << first;
        if (sizeof...(rest) > 0)
            out << "," << Join(rest...);
        return out.str();
    }

    std::vector<std::string> m_entries;
    std::map<std::string, HRESULT> m_results;
};

#endif
