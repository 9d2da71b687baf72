# Sourced by the test servers' scripts: free_port prints a TCP port of 127.0.0.1 that nothing
# listens on (tried at random among 20000-40000), or fails.
free_port() {
    for p in $(shuf -i 20000-40000 -n 50); do
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then echo "$p"; return; fi
    done
    echo "no free port" >&2
    exit 1
}
