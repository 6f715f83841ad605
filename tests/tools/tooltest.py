"""What the tool tests share: a folder of the test's own (with HOME and the
XDG folders inside it, for the outputs that start Qt), the checks that are
counted, and the programs run in that environment."""
import os
import shutil
import subprocess
import sys
import tempfile


class ToolTest:
    def __init__(self, prefix):
        self.work = tempfile.mkdtemp(prefix=prefix)
        self.failures = []
        own = {}
        for var, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                         ("XDG_CACHE_HOME", "cache"), ("XDG_STATE_HOME", "state"), ("XDG_RUNTIME_DIR", "runtime")):
            own[var] = os.path.join(self.work, sub)
            os.makedirs(own[var], mode=0o700)
        self.env = dict(os.environ, **own)

    def check(self, ok, what):
        if not ok:
            self.failures.append(what)
            print("FAILED:", what)

    def run(self, args, answers=b"", env=None):
        return subprocess.run(args, input=answers, capture_output=True, timeout=120, env=env or self.env)

    def path(self, name):
        return os.path.join(self.work, name)

    def finish(self):
        shutil.rmtree(self.work)
        print(f"{len(self.failures)} failures")
        sys.exit(1 if self.failures else 0)
