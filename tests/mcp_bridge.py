"""The official MCP TypeScript SDK's client (tests/client/sdk/bridge.mjs, the SDK pinned in
tests/client/sdk/package-lock.json) as the tests drive it, and the README's configuration snippet."""

import json
import os
import re
import shutil
import subprocess
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[1]
SDK = ROOT / "tests" / "client" / "sdk"
DEADLINE = 60.0


def readme_server_config():
    """The snippet of the README's MCP section, as written there: command, args and env."""
    text = (ROOT / "README.md").read_text(encoding="utf-8")
    section = text[text.index("## AI agents: the MCP server"):]
    snippet = re.search(r"```json\n(.*?)```", section, re.S).group(1)
    return json.loads(snippet)["mcpServers"]["marlet"]


class Bridge:
    """bridge.mjs: the SDK's client, one request a line in, one answer a line out."""

    def __init__(self, server, path_first=None):
        node = shutil.which("node")
        if not node or not (SDK / "node_modules" / "@modelcontextprotocol" / "sdk").exists():
            pytest.fail("the MCP SDK is missing: run `npm ci` in tests/client/sdk (./scripts/test does)")
        env = dict(os.environ)
        if path_first:
            env["PATH"] = f"{path_first}{os.pathsep}{env['PATH']}"
        self.proc = subprocess.Popen([node, str(SDK / "bridge.mjs"), json.dumps(server)], cwd=SDK, env=env,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.hello = self._line()

    def _line(self):
        line = self.proc.stdout.readline()
        assert line, "the SDK client ended"
        return json.loads(line)

    def ask(self, request):
        self.proc.stdin.write(json.dumps(request) + "\n")
        self.proc.stdin.flush()
        return self._line()

    def call(self, name, **arguments):
        answer = self.ask({"name": name, "arguments": arguments})
        assert "result" in answer, answer
        return answer["result"]

    def close(self):
        self.proc.stdin.close()
        return self.proc.wait(DEADLINE)
